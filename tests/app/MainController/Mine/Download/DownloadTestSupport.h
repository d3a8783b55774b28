#pragma once

// The download pages in a navigation stack on a key window, over a fresh record database, with
// the media cache replaced by exports that the test moves by hand (or the real cache, for the
// tests that download). Header only.

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadedVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadingVC.h"
#include "platform/foundation/AppContainer.h"
#include "platform/media/MCSAssetExporter.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UINavigationItem.h"
#include "tests/app/support/ScreenTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zvtest {

// An export that moves only when the test says so.
class FakeExporter : public MCSAssetExporter {
public:
    explicit FakeExporter(std::string url)
        : m_url(std::move(url))
    { }

    const std::string& URL() const override { return m_url; }
    MCSAssetExportStatus status() const override
    {
        ++statusReads;
        return current;
    }
    float progress() const override { return fraction; }
    void resume() override { ++resumes; }
    void suspend() override { ++suspends; }

    // The status or progress changes and the handlers hear of it.
    void report(MCSAssetExportStatus status)
    {
        current = status;
        callStatusBlock();
    }
    void reportProgress(float value)
    {
        fraction = value;
        callProgressBlock();
    }

    MCSAssetExportStatus current = MCSAssetExportStatus::suspended;
    float fraction = 0;
    int resumes = 0;
    int suspends = 0;
    mutable int statusReads = 0;

private:
    std::string m_url;
};

// The media cache's exports, made on demand for any address.
class FakeExports : public SJMediaCacheServer::Backend {
public:
    std::shared_ptr<MCSAssetExporter> exportAsset(const std::string& url, bool resumes) override
    {
        auto& exporter = exporters[url];
        if (!exporter) {
            exporter = std::make_shared<FakeExporter>(url);
            order.push_back(url);
        }
        if (resumes) {
            resumed.push_back(url);
            exporter->resume();
        }
        return exporter;
    }
    std::string playbackURL(const std::string& url) override { return "http://127.0.0.1:9/export?" + url; }
    void setActive(bool) override { }
    float exportProgress(const std::string& url) override
    {
        auto found = exporters.find(url);
        return found == exporters.end() ? 0 : found->second->fraction;
    }
    void removeExportAsset(const std::string& url) override
    {
        removed.push_back(url);
        exporters.erase(url);
        std::erase(order, url);
    }
    std::vector<std::shared_ptr<MCSAssetExporter>> allExporters() override
    {
        std::vector<std::shared_ptr<MCSAssetExporter>> all;
        for (const auto& url : order)
            all.push_back(exporters[url]);
        return all;
    }

    // Made if missing, as the pages' lookups would.
    std::shared_ptr<FakeExporter> operator[](const std::string& url)
    {
        exportAsset(url, false);
        return exporters[url];
    }

    std::map<std::string, std::shared_ptr<FakeExporter>> exporters;
    std::vector<std::string> order;
    std::vector<std::string> resumed;
    std::vector<std::string> removed;
};

class DownloadTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        SJMediaCacheServer::shared().setBackend(exports);
        SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
    }

    void TearDown() override
    {
        ScreenTest::TearDown();
        SJBaseVideoPlayer::setPlaybackControllerFactory(nullptr);
        SJScriptedPlaybackController::clearScripts();
        SJMediaCacheServer::shared().setBackend(nullptr);
        ASConfigration::closeDefaultDB();
    }

    // A stored record; its address is made from title and episode unless given.
    static ZV_DownLoadModel stored(const std::string& vod_id, const std::string& episodeId,
        const std::string& state, double size = 0, std::string url = {})
    {
        ZV_DownLoadModel record;
        record.vod_id = vod_id;
        record.episodeId = episodeId;
        record.state = state;
        record.size = size;
        record.name = "片" + vod_id;
        record.episodeName = "第" + episodeId + "集";
        record.typeName = "国产剧";
        record.source = "线路一";
        record.url = url.empty() ? "https://127.0.0.1:9/" + vod_id + "/" + episodeId + "/index.m3u8" : url;
        EXPECT_TRUE(record.save());
        return record;
    }

    static std::vector<ZV_DownLoadModel> all()
    {
        auto found = ZV_DownLoadModel::findAll();
        EXPECT_TRUE(found);
        return found ? *found : std::vector<ZV_DownLoadModel>();
    }
    static std::optional<ZV_DownLoadModel> byId(const ZV_DownLoadModel& record)
    {
        auto found = ZV_DownLoadModel::findFirst(ASQuery().equal("id", static_cast<long long>(*record.id())));
        return found ? *found : std::nullopt;
    }

    // The centre on the navigation stack, on the given tab.
    std::shared_ptr<ZV_DownloadVC> openCentre(int tab = 0)
    {
        auto centre = std::make_shared<ZV_DownloadVC>();
        show(centre);
        if (tab != 0) {
            centre->zv_segmentedView()->selectItemAt(tab);
            drain();
            window->layoutIfNeeded();
        }
        return centre;
    }
    static std::shared_ptr<UIView> rightBarView(UIViewController& page)
    {
        auto item = page.navigationItem().rightBarButtonItem();
        return item ? item->customView() : nullptr;
    }
    static std::vector<std::string> tabTitles(ZV_DownloadVC& centre)
    {
        return centre.zv_dataSource()->titles;
    }

    std::shared_ptr<FakeExports> exports = std::make_shared<FakeExports>();
};

}
