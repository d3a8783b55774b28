#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/ui/lists/UITableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMUITableView;
class ZV_Player;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// Plays the finished downloads of one title without the network: the title page's player in
// offline mode, and under it the title's name with a "local copy" badge, an advert and the strip
// of finished episodes. Episodes are picked from the strip, from the sheet of its "更多" button
// or, in full screen, from the player's episode panel. Nothing here calls the API: the title is
// rebuilt from the download records and the player plays each episode from the media cache.
class ZV_OfflinePlayerVC : public BaseViewController,
                           public UITableViewDataSource,
                           public UITableViewDelegate {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    enum Row : int { infoRow = 0, advertRow = 1, episodeRow = 2 };
    static constexpr double loadDelay = 0.3;

    ZV_OfflinePlayerVC();
    ~ZV_OfflinePlayerVC() override;

    std::string className() const override { return "ZV_OfflinePlayerVC"; }

    // Set by the opener.
    std::optional<std::string> name;
    std::optional<std::string> vod_id;
    // The episode on show: the opener's, then every change.
    std::optional<std::string> episode_id;
    // The record of the starting episode, for the info row.
    std::optional<ZV_DownLoadModel> model;
    // The title as far as the records tell it: its name and id.
    std::shared_ptr<ZV_DetailModel> detailModel;
    // The finished episodes, in plain name order.
    Episodes list;

    const std::shared_ptr<UIView>& zv_topView();
    const std::shared_ptr<ZV_Player>& zv_playerView();
    const std::shared_ptr<QMUITableView>& zv_tableView();

    void viewDidLoad() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyle::lightContent; }

    virtual void setupUI();
    // Reads the title's finished episodes and plays the current one.
    virtual void loadEpisodes();

    // What each of the three pickers does with a chosen episode: it becomes current and plays
    // (again, when it already was); the episode row is redrawn when `reloadRow` is set.
    void chooseEpisode(const std::string& episodeId, bool reloadRow);
    // The "更多" sheet below the player (playback pauses) and the full-screen panel.
    void showEpisodeSheet();
    void showEpisodePanel();

    // The episode a download record stands for: its id, name and exported address.
    static std::shared_ptr<ZV_DetailDataListPlayFromListModel> episodeOf(const ZV_DownLoadModel& record);
    // The advert row: 0 without a configuration or without a picture, else the banner and 20.
    static CGFloat advertHeight();

    // UITableViewDataSource
    int numberOfRows(UITableView&, int) override { return detailModel ? 3 : 0; }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView&, const IndexPath& indexPath) override;
    // UITableViewDelegate
    std::optional<CGFloat> heightForRow(UITableView&, const IndexPath& indexPath) override;

private:
    std::weak_ptr<ZV_OfflinePlayerVC> weakSelf();
    void reloadEpisodeRow();

    std::shared_ptr<UIView> m_topView;
    std::shared_ptr<ZV_Player> m_playerView;
    std::shared_ptr<QMUITableView> m_tableView;
};
