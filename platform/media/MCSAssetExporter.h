#pragma once

#include <functional>
#include <string>

// State of an export (a download of a playlist and its media), as the download pages read it.
enum class MCSAssetExportStatus : unsigned {
    unknown = 0,
    waiting = 1,
    exporting = 2,
    finished = 3,
    failed = 4,
    suspended = 5,
};

// One export of the media cache, keyed by its URL. The handler is called on the main thread with
// the exporter whenever its status changes; setting it replaces the previous one.
class MCSAssetExporter {
public:
    using StatusHandler = std::function<void(MCSAssetExporter&)>;

    virtual ~MCSAssetExporter() = default;

    virtual const std::string& URL() const = 0;
    virtual MCSAssetExportStatus status() const = 0;
    virtual void resume() = 0;
    virtual void suspend() = 0;

    StatusHandler statusDidChangeExecuteBlock;
};
