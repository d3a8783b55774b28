#pragma once

#include <functional>
#include <string>

// State of an export (a download of a playlist and its media), as the download pages read it.
enum class MCSAssetExportStatus : unsigned {
    unknown = 0,
    waiting = 1, // queued behind other exports
    exporting = 2,
    finished = 3,
    failed = 4, // what was fetched is kept; resume goes on from there
    suspended = 5,
};

// One export of the media cache, keyed by its URL. Its blocks are called on the main queue with
// the exporter, in a later turn than the change, whichever thread made it. Setting a block
// replaces the previous one, also from inside a running block.
class MCSAssetExporter {
public:
    using ExecuteBlock = std::function<void(MCSAssetExporter&)>;

    virtual ~MCSAssetExporter() = default;

    virtual const std::string& URL() const = 0;
    virtual MCSAssetExportStatus status() const = 0;
    // Fraction 0 to 1 of the export's files that are in.
    virtual float progress() const = 0;
    // Starts the export, or goes on with it; one that is already queued, running or finished
    // reports its status to the status block again, so a second caller learns where it stands.
    virtual void resume() = 0;
    virtual void suspend() = 0;

    void setStatusDidChangeExecuteBlock(ExecuteBlock block) { m_statusBlock = std::move(block); }
    const ExecuteBlock& statusDidChangeExecuteBlock() const { return m_statusBlock; }
    void setProgressDidChangeExecuteBlock(ExecuteBlock block) { m_progressBlock = std::move(block); }
    const ExecuteBlock& progressDidChangeExecuteBlock() const { return m_progressBlock; }

protected:
    // Calls the current block; a copy runs, so the block may replace itself.
    void callStatusBlock()
    {
        if (ExecuteBlock block = m_statusBlock)
            block(*this);
    }
    void callProgressBlock()
    {
        if (ExecuteBlock block = m_progressBlock)
            block(*this);
    }
    void dropBlocks()
    {
        m_statusBlock = nullptr;
        m_progressBlock = nullptr;
    }

private:
    ExecuteBlock m_statusBlock;
    ExecuteBlock m_progressBlock;
};
