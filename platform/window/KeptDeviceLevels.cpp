#include "platform/window/KeptDeviceLevels.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJDeviceVolumeAndBrightnessController.h"
#include "platform/ui/UIScreen.h"

namespace {

DeviceLevelsFile::Levels currentLevels()
{
    auto& device = SJDeviceVolumeAndBrightnessController::shared();
    return { device.volume(), device.brightness() };
}

}

struct KeptDeviceLevels::Keeper {
    std::filesystem::path file;
    bool writeDue = false;
    // A failed write is told once, until one succeeds again.
    bool failing = false;

    void write()
    {
        writeDue = false;
        if (!DeviceLevelsFile::write(file, currentLevels())) {
            if (!failing)
                Log::write("device levels: cannot write " + file.string() + "; tried again at the next change");
            failing = true;
            return;
        }
        failing = false;
    }
};

KeptDeviceLevels::KeptDeviceLevels(std::filesystem::path file)
{
    DeviceLevelsFile::Read read = DeviceLevelsFile::read(file);
    m_readOutcome = read.outcome;
    auto& device = SJDeviceVolumeAndBrightnessController::shared();
    device.setVolume(read.levels.volume);
    device.setBrightness(read.levels.brightness);
    bool damagedInPlace = read.outcome == DeviceLevelsFile::Read::Outcome::Damaged && !read.movedTo;
    if (read.outcome == DeviceLevelsFile::Read::Outcome::Unreadable || damagedInPlace)
        return;

    m_keeper = std::make_shared<Keeper>();
    m_keeper->file = std::move(file);
    auto changed = [weak = std::weak_ptr<Keeper>(m_keeper)](const Notification&) {
        auto keeper = weak.lock();
        if (!keeper || keeper->writeDue)
            return;
        keeper->writeDue = true;
        DispatchQueue::main().asyncAfter(DispatchTime::now() + writeInterval, [weak] {
            if (auto keeper = weak.lock(); keeper && keeper->writeDue)
                keeper->write();
        });
    };
    auto& centre = NotificationCenter::defaultCenter();
    centre.addObserver(SJDeviceVolumeDidChangeNotification, changed, this);
    centre.addObserver(UIScreenBrightnessDidChangeNotification, changed, this);
}

KeptDeviceLevels::~KeptDeviceLevels()
{
    NotificationCenter::defaultCenter().removeObservers(this);
    if (m_keeper && m_keeper->writeDue)
        m_keeper->write();
}
