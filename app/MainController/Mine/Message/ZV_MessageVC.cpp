#include "app/MainController/Mine/Message/ZV_MessageVC.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Mine/Message/ZV_MessageCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"
#include "platform/ui/refresh/MJRefreshHeader.h"

namespace {

std::shared_ptr<ZV_MessageVC> shared(ZV_MessageVC& page)
{
    return std::static_pointer_cast<ZV_MessageVC>(page.sharedFromThis());
}

}

const std::shared_ptr<UITableView>& ZV_MessageVC::tableView()
{
    if (!m_tableView) {
        m_tableView = std::make_shared<UITableView>(CGRect {}, UITableViewStyle::plain);
        auto self = shared(*this);
        m_tableView->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
        m_tableView->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
        m_tableView->setRowHeight(UITableViewAutomaticDimension);
        m_tableView->setEstimatedRowHeight(100);
        m_tableView->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
        m_tableView->setKeyboardDismissMode(UIScrollViewKeyboardDismissMode::onDrag);
        m_tableView->setEstimatedSectionHeaderHeight(0);
        m_tableView->setEstimatedSectionFooterHeight(0);
        m_tableView->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
        registerCell<ZV_MessageCell>(*m_tableView);
        m_tableView->setAccessibilityIdentifier("message.list");
        std::weak_ptr<ZV_MessageVC> weakSelf = self;
        addRefreshHeader(*m_tableView, [weakSelf] {
            if (auto page = weakSelf.lock())
                page->loadData(1);
        });
        setMjFooter(*m_tableView, std::make_shared<MJRefreshAutoStateFooter>([weakSelf] {
            if (auto page = weakSelf.lock())
                page->loadData(page->page() + 1);
        }));
    }
    return m_tableView;
}

void ZV_MessageVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
}

void ZV_MessageVC::setupUI()
{
    navigationItem().setTitle("系统消息");
    m_advertView = editmode::makeBanner(*this, &ZV_AdvertConfigModel::notice_up);
    if (m_advertView) {
        view()->addSubview(m_advertView);
        snp(m_advertView).makeConstraints([](ConstraintMaker& make) {
            make.top().equalToSuperview().offset(10);
            make.left().right().equalToSuperview().inset(24);
            make.height().equalTo((screenWidth() - 48) * 122 / 342);
        });
    }
    view()->addSubview(tableView());
    snp(tableView()).makeConstraints([this](ConstraintMaker& make) {
        if (m_advertView)
            make.top().equalTo(snp(m_advertView).bottom()).offset(10);
        else
            make.top().equalToSuperview().offset(10);
        make.left().right().bottom().equalToSuperview();
    });
    mjHeader(*tableView())->beginRefreshing();
}

void ZV_MessageVC::loadData(int page)
{
    std::weak_ptr<ZV_MessageVC> weakSelf = shared(*this);
    JSON parameters = JSON::object({ { "page", JSON(page) }, { "pageSize", JSON(pageSize) } });
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::noticeList, parameters,
        m_list.empty(), [weakSelf, page](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weakSelf.lock())
                self->listReceived(page, json);
        });
}

void ZV_MessageVC::listReceived(int requestedPage, const std::optional<JSON>& data)
{
    endRefreshing(*tableView());
    // An empty `data` arrives as the server's message text: no data either.
    if (!data || data->type() != JSON::Type::Object)
        return;
    UserDefaults::standard().set(PropertyList(std::to_string((*data)["total"].intValue())), "new_notice");
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::noti)));
    std::vector<JSON> received = (*data)["list"].array().value_or(std::vector<JSON>());
    m_page = requestedPage;
    if (requestedPage == 1)
        m_list = received;
    else
        m_list.insert(m_list.end(), received.begin(), received.end());
    showEmptyView(m_list.empty(), emptyKindNothing, "这里什么都没有...");
    if (received.empty())
        endFooterRefreshing(*tableView(), false);
    tableView()->reloadData();
}

std::shared_ptr<UITableViewCell> ZV_MessageVC::cellForRow(UITableView& table, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_MessageCell>(table, indexPath);
    if (indexPath.row() >= 0 && indexPath.row() < static_cast<int>(m_list.size()))
        cell->setNotice(m_list[static_cast<std::size_t>(indexPath.row())]);
    return cell;
}

void ZV_MessageVC::didSelectRow(UITableView&, const IndexPath& indexPath)
{
    if (indexPath.row() < 0 || indexPath.row() >= static_cast<int>(m_list.size()))
        return;
    const JSON& notice = m_list[static_cast<std::size_t>(indexPath.row())];
    switch (notice["type"].intValue()) {
    case 1:
        openSafari(notice["content"].stringValue());
        return;
    case 2: {
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = notice["content"].stringValue();
        show(detail);
        return;
    }
    default:
        return;
    }
}
