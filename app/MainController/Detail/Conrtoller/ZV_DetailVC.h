#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UITableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMUITableView;
class ZV_Player;
struct ZV_DetailModel;
struct ZV_DetailDataListLastPlaybackModel;
struct ZV_DetailDataListPlayFromModel;
struct ZV_DetailDataListPlayFromListModel;

// The title page: the player at the top and, under it, six rows (information, actions, an
// advert, the episode and source selector, a second advert, related titles). Every list opens it
// alike: a fresh page, `vod_id` set, shown.
//
// The page loads the title from "v1/movie/detail", picks the episode to start with and starts the
// player; it switches sources ("v1/movie_addr/list") and episodes through bottom sheets in
// portrait and side panels in full screen, keeps the favourite ("v1/movie/collect/action"), and
// reports the position ("v1/movie_play/report") when it is left and when the app resigns active.
// Every closure it hands out holds it weakly. Main thread only.
class ZV_DetailVC : public BaseViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    // Rows of the table.
    enum Row : int {
        infoRow = 0,
        featuresRow = 1,
        episodeAdvertRow = 2,
        selectRow = 3,
        relatedAdvertRow = 4,
        relatedRow = 5
    };
    static constexpr int rowCount = 6;
    static constexpr CGFloat featuresRowHeight = 80;
    static constexpr CGFloat selectRowHeight = 183;
    static constexpr const char* noSourcesText = "该影片暂无播放资源";

    ZV_DetailVC();
    ~ZV_DetailVC() override;

    std::string className() const override { return "ZV_DetailVC"; }

    // ---- State ----
    std::string vod_id; // set by the opener before the page shows
    std::optional<std::string> episode_id; // the current episode
    std::shared_ptr<ZV_DetailModel> model; // absent until the detail reply
    CGFloat zv_playerInfoCellHeight = 84.0;

    // ---- Parts, built on first use ----
    const std::shared_ptr<UIView>& zv_topView();
    const std::shared_ptr<ZV_Player>& zv_playerView();
    const std::shared_ptr<QMUITableView>& zv_tableView();

    // ---- Screen ----
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyle::lightContent; }
    bool shouldAutorotate() const override { return false; }

    // ---- Operations ----
    virtual void setupUI();
    virtual void loadDetail();
    virtual void chooseStartEpisode();
    virtual void updatePlayerInfoCellHeight();
    // Sends the position when shouldReport says so. The title's last playback stays what the
    // server sent or a source switch made it (a report's reply may be lost), so every leave away
    // from it reports again.
    virtual void reportPlayback();
    virtual void loadPlayAddresses(const std::string& code);
    virtual void showSourcePicker();
    virtual void showEpisodePicker();
    void zv_playbackRecord() { reportPlayback(); }
    void zv_clickSource() { showSourcePicker(); }
    void zv_clickEpisode() { showEpisodePicker(); }

    // What the detail reply and the address list of a source do to the page. False, changing
    // nothing, for a reply that is no title.
    bool applyDetail(const JSON& json);
    // False, changing nothing, for a reply without a usable episode.
    bool applyPlayAddresses(const JSON& json, const std::string& code);

    void switchEpisode(const std::string& episodeId);
    void syncCurrentEpisode(const std::string& episodeId);
    void toggleFavourite(const IndexPath& indexPath);
    void showIntroSheet();
    void showDownloadSheet();
    void showFeedbackForm();
    void openAdvertLink(ZV_AdvertModel ZV_AdvertConfigModel::*placement);

    // ---- Rules ----
    // The source in use: the first with episodes (after a switch, the only one).
    static std::shared_ptr<ZV_DetailDataListPlayFromModel> sourceInUse(const ZV_DetailModel& model);
    // A title lacks sources (its action and selector rows go) only when its list of sources is
    // present and empty. Sources without episodes keep the rows: a switch may bring episodes.
    static bool hasNoPlaySources(const ZV_DetailModel& model);
    // The last-played episode when the source in use holds it; none otherwise.
    static std::optional<std::string> lastPlayedEpisode(const ZV_DetailModel& model);
    // The episode to start with: the last played one, else the first of the source in use.
    static std::optional<std::string> startEpisode(const ZV_DetailModel& model);
    // Moves the title to the source `code` with its new episodes: every other source is emptied,
    // the episode at the current one's position in the old source (the last source holding it)
    // becomes current when the new list is long enough, and the last playback takes the episode
    // and `position` (whole seconds) so that playback continues there. Returns the episode now
    // current.
    static std::optional<std::string> switchSource(ZV_DetailModel& model, const std::string& code,
        Episodes list, const std::optional<std::string>& currentEpisode, double position);
    // Whether a play report goes out, in the order tested.
    struct ReportState {
        bool signedIn = false;
        bool hasEpisodeList = false;
        bool hasEpisode = false; // the played episode is known
        std::string episodeId; // the played episode and its source, as the report names them
        std::string source;
        const ZV_DetailDataListLastPlaybackModel* lastPlayback = nullptr;
        double position = 0; // seconds
        double duration = 0;
    };
    static bool shouldReport(const ReportState& state);
    // Height of the information row for a title's name: the wrapped name + 56.
    static CGFloat infoCellHeight(const std::string& name, CGFloat screenWidth);
    // Height of an advert row: 0 without a configuration or a link.
    static CGFloat advertRowHeight(const ZV_AdvertConfigModel* config,
        ZV_AdvertModel ZV_AdvertConfigModel::*placement, CGFloat screenWidth);
    // Height of the related titles: whole rows of the grid for `count` titles, + 92.
    static CGFloat relatedRowHeight(std::size_t count, CGFloat screenWidth, bool isPad);

    // A title that did not load (no reply, a refusal, a reply that is no title) is logged once
    // and shows the load-failed state under the player, whose cover keeps its back button; a tap
    // loads again.
    bool layoutEmptyView() override;

    // UITableViewDataSource
    int numberOfRows(UITableView&, int section) override;
    std::shared_ptr<UITableViewCell> cellForRow(UITableView&, const IndexPath&) override;
    // UITableViewDelegate
    std::optional<CGFloat> heightForRow(UITableView&, const IndexPath&) override;

private:
    std::weak_ptr<ZV_DetailVC> weakSelf();
    void playCurrentEpisode();
    // The error layer without buttons saying that nothing can be played, logged; and back to
    // its own message and buttons once a source switch brought episodes.
    void showNoSources();
    void leaveNoSources();
    void reloadSelectRow();
    void showLoadFailure(const std::optional<NSError>& error);
    // The player cover's animation and its caption, shown while the title is asked for.
    void showPlayerWaiting(bool waiting);

    std::shared_ptr<UIView> m_topView;
    std::shared_ptr<ZV_Player> m_playerView;
    std::shared_ptr<QMUITableView> m_tableView;
    bool m_detailLoading = false; // a detail request is out
    std::optional<std::string> m_errorTextBeforeNoSources; // while the error layer says so
};
