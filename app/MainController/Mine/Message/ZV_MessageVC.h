#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UITableView.h"

#include <memory>
#include <optional>
#include <vector>

class ZV_AdvertView;

// "系统消息": the server's notices, ten to a page, with pull-to-refresh and load-more, under the
// "notice_up" banner. A link notice opens its address in the in-app browser, a title notice the
// title's page. Every reply with data stores the server's `total` as "new_notice" and posts "noti",
// so that the notice dots elsewhere can compare it with the configuration's count.
//
// The page moves on only when a reply arrives: a load-more that fails asks for the same page
// next time.
class ZV_MessageVC : public BaseViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    static constexpr int pageSize = 10;

    ZV_MessageVC() = default;

    std::string className() const override { return "ZV_MessageVC"; }

    void viewDidLoad() override;

    // The last page whose reply came in (1 before any).
    int page() const { return m_page; }
    const std::vector<JSON>& list() const { return m_list; }
    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    // Made on first use.
    const std::shared_ptr<UITableView>& tableView();

    void setupUI();
    // Asks for one page: 1 replaces the list, any later one is appended.
    void loadData(int page);
    void listReceived(int requestedPage, const std::optional<JSON>& data);

    // UITableViewDataSource
    int numberOfRows(UITableView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView&, const IndexPath& indexPath) override;
    // UITableViewDelegate
    void didSelectRow(UITableView&, const IndexPath& indexPath) override;

private:
    int m_page = 1;
    std::vector<JSON> m_list;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UITableView> m_tableView;
};
