#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Mine/Setting/ZV_SettingType.h"
#include "platform/ui/lists/UITableView.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The settings page: teen mode with its switch, the image cache's size with a tap that clears
// the caches, and, while signed in, logging out. Teen mode is the stored flag that every request
// carries; logging out drops the token and the profile, tells the app ("logoutSuccess") and
// leaves the page.
class ZV_SettingVC : public BaseViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    ZV_SettingVC() = default;

    std::string className() const override { return "ZV_SettingVC"; }

    void viewDidLoad() override;

    void setupUI();
    // The rows, once per page.
    void setupList();
    // In this order: the stored chat messages, the image cache (disk, then memory), the media
    // cache's playback caches (never the finished downloads), the toast, the size row again.
    void clearCache();

    const std::vector<ZV_SettingType>& list() const { return m_list; }
    // Made on first use.
    const std::shared_ptr<UITableView>& tableView();

    // Bytes in mebibytes, as "%.1fM" (the image cache's size on disk).
    static std::string cacheSizeText(std::uint64_t bytes);

    // UITableViewDataSource
    int numberOfRows(UITableView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView&, const IndexPath& indexPath) override;
    // UITableViewDelegate
    std::optional<CGFloat> heightForRow(UITableView&, const IndexPath&) override { return 68; }
    void didSelectRow(UITableView&, const IndexPath& indexPath) override;

private:
    std::vector<ZV_SettingType> m_list;
    std::shared_ptr<UITableView> m_tableView;
};
