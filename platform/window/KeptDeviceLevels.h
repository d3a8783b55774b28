#pragma once

#include "platform/window/DeviceLevelsFile.h"

#include <filesystem>
#include <memory>

// The device's volume and backlight kept from one start of the window to the next, as a phone
// keeps them, in a file of their own (DeviceLevelsFile). Made, it reads the file and sets the
// device's levels from it (a first start's when there is none, or none to be read); from then on
// a level that moves is written, at most once every writeInterval seconds of the dispatch clock,
// so that a slider being dragged costs a few writes, and once more when it goes if a write is
// still due. A file that could not be read, or a damaged one that could not be moved aside, is
// never written over. Main thread.
class KeptDeviceLevels {
public:
    static constexpr double writeInterval = 0.5;

    explicit KeptDeviceLevels(std::filesystem::path file);
    ~KeptDeviceLevels();
    KeptDeviceLevels(const KeptDeviceLevels&) = delete;
    KeptDeviceLevels& operator=(const KeptDeviceLevels&) = delete;

    // How reading the file went.
    DeviceLevelsFile::Read::Outcome readOutcome() const { return m_readOutcome; }

private:
    struct Keeper;

    // Shared with the write that is due, which drops itself once the keeper is gone.
    std::shared_ptr<Keeper> m_keeper;
    DeviceLevelsFile::Read::Outcome m_readOutcome;
};
