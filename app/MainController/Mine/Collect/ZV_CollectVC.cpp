#include "app/MainController/Mine/Collect/ZV_CollectVC.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"

namespace {

std::shared_ptr<ZV_CollectVC> shared(ZV_CollectVC& page)
{
    return std::static_pointer_cast<ZV_CollectVC>(page.sharedFromThis());
}

}

ZV_CollectVC::~ZV_CollectVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

const std::shared_ptr<UICollectionView>& ZV_CollectVC::zv_collectionView()
{
    if (!m_collectionView) {
        auto self = shared(*this);
        m_collectionView = editmode::makeList(std::weak_ptr<UICollectionViewDelegate>(self),
            std::weak_ptr<UICollectionViewDataSource>(self));
        registerCell<ZV_HomeVideoCollCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("collect.list");
        std::weak_ptr<ZV_CollectVC> weakSelf = self;
        addRefreshHeader(*m_collectionView, [weakSelf] {
            if (auto page = weakSelf.lock())
                page->requestPage(1);
        });
        setMjFooter(*m_collectionView, std::make_shared<MJRefreshAutoStateFooter>([weakSelf] {
            if (auto page = weakSelf.lock())
                page->requestPage(page->page() + 1);
        }));
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& ZV_CollectVC::editBtn()
{
    if (!m_editBtn) {
        m_editBtn = editmode::makeEditButton();
        editmode::onTap(*m_editBtn, std::weak_ptr<ZV_CollectVC>(shared(*this)), [](ZV_CollectVC& page) {
            page.setEdit(!page.isEdit());
            page.refreshGrid();
        });
    }
    return m_editBtn;
}

const std::shared_ptr<UIView>& ZV_CollectVC::zv_bottomView()
{
    if (!m_bottomView)
        m_bottomView = UIView::create();
    return m_bottomView;
}

const std::shared_ptr<UIButton>& ZV_CollectVC::zv_allBtn()
{
    if (!m_allBtn) {
        m_allBtn = editmode::makeSelectAllButton();
        editmode::onTap(*m_allBtn, std::weak_ptr<ZV_CollectVC>(shared(*this)), &ZV_CollectVC::selectAll);
    }
    return m_allBtn;
}

const std::shared_ptr<UIButton>& ZV_CollectVC::zv_delBtn()
{
    if (!m_delBtn) {
        m_delBtn = editmode::makeDeleteButton();
        editmode::onTap(*m_delBtn, std::weak_ptr<ZV_CollectVC>(shared(*this)), &ZV_CollectVC::confirmDelete);
    }
    return m_delBtn;
}

void ZV_CollectVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    navigationItem().setTitle("收藏");
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(editBtn()));
    std::weak_ptr<ZV_CollectVC> weakSelf = shared(*this);
    NotificationCenter::defaultCenter().addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->zv_movieCollectListRequest();
        },
        this);

    m_advertView = editmode::makeBanner(*this, &ZV_AdvertConfigModel::collect_up);
    if (m_advertView) {
        view()->addSubview(m_advertView);
        snp(m_advertView).makeConstraints([](ConstraintMaker& make) {
            make.top().equalToSuperview().offset(10);
            make.left().right().equalToSuperview().inset(24);
            make.height().equalTo((screenWidth() - 48) * 122 / 342);
        });
    }
    view()->addSubview(zv_collectionView());
    editmode::addBottomBar(*view(), zv_bottomView(), zv_allBtn(), zv_delBtn());
    editmode::placeList(*zv_collectionView(), *view(), m_advertView, *zv_bottomView(), false);
    requestPage(1);
}

void ZV_CollectVC::setEdit(bool edit)
{
    m_isEdit = edit;
    editBtn()->setSelected(edit);
    zv_bottomView()->setHidden(!edit);
    editmode::placeList(*zv_collectionView(), *view(), m_advertView, *zv_bottomView(), edit);
}

void ZV_CollectVC::refreshGrid()
{
    m_sectionList = { ZV_CollectRowType::list };
    zv_collectionView()->reloadData();
}

void ZV_CollectVC::zv_movieCollectListRequest()
{
    requestPage(m_page);
}

void ZV_CollectVC::requestPage(int page)
{
    std::weak_ptr<ZV_CollectVC> weakSelf = shared(*this);
    JSON parameters = JSON::object({ { "page", JSON(page) }, { "pageSize", JSON(pageSize) } });
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::collectList, parameters,
        m_list.empty(), [weakSelf, page](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weakSelf.lock())
                self->listReceived(page, json);
        });
}

void ZV_CollectVC::listReceived(int requestedPage, const std::optional<JSON>& json)
{
    endRefreshing(*zv_collectionView());
    if (!json)
        return;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> items;
    for (const JSON& item : (*json)["list"].array().value_or(std::vector<JSON>()))
        items.push_back(std::make_shared<ZV_HomeRecommendModelDataList>(item));
    if (items.empty())
        endFooterRefreshing(*zv_collectionView(), false);
    m_page = requestedPage;
    if (requestedPage == 1)
        m_list = std::move(items);
    else
        m_list.insert(m_list.end(), items.begin(), items.end());
    zv_allBtn()->setTitle("全选 " + std::to_string(m_list.size()), UIControlStateNormal);
    refreshGrid();
    showEmptyView(m_list.empty(), emptyKindLogin, "登录后可查看收藏记录");
}

std::shared_ptr<UICollectionViewCell> ZV_CollectVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_sectionList.size())
        || indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return std::make_shared<UICollectionViewCell>();
    auto cell = dequeueCell<ZV_HomeVideoCollCell>(view, indexPath);
    cell->setEdit(m_isEdit);
    cell->setCollectModel(m_list[static_cast<std::size_t>(indexPath.item)]);
    return cell;
}

void ZV_CollectVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return;
    const std::shared_ptr<ZV_HomeRecommendModelDataList>& item
        = m_list[static_cast<std::size_t>(indexPath.item)];
    if (!m_isEdit) {
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = item->movie_id;
        show(detail);
        return;
    }
    item->isSel = !item->isSel;
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(editmode::deleteTitle(editmode::selectedCount(m_list)), UIControlStateNormal);
}

CGSize ZV_CollectVC::itemSize()
{
    if (QMUIHelper::isIPad())
        return { 103, 184 };
    return { (screenWidth() - 48 - 34) / 3, 184 };
}

std::optional<CGSize> ZV_CollectVC::sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return itemSize();
}

std::optional<UIEdgeInsets> ZV_CollectVC::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    if (section < 0 || section >= static_cast<int>(m_sectionList.size()))
        return UIEdgeInsets {};
    return UIEdgeInsets { 0, 24, 0, 24 };
}

std::optional<CGFloat> ZV_CollectVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 8;
}

std::optional<CGFloat> ZV_CollectVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 16;
}

void ZV_CollectVC::selectAll()
{
    for (const auto& item : m_list)
        item->isSel = true;
    zv_collectionView()->reloadData();
}

void ZV_CollectVC::confirmDelete()
{
    if (editmode::selectedCount(m_list) == 0)
        return;
    std::weak_ptr<ZV_CollectVC> weakSelf = shared(*this);
    showAlert("确认要删除吗？", "取消", "确认", [weakSelf] {
        if (auto self = weakSelf.lock())
            self->deleteSelected();
    });
}

void ZV_CollectVC::deleteSelected()
{
    std::weak_ptr<ZV_CollectVC> weakSelf = shared(*this);
    editmode::requestDelete(
        deletePath, editmode::joinSelectedIds(m_list), [weakSelf](editmode::DeleteResult result) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            self->setEdit(false);
            // Only a success removes anything: a refusal keeps the items and their selections, and
            // the marks go with the edit mode.
            if (!result.succeeded) {
                self->refreshGrid();
                QMUITips::showError(result.message);
                return;
            }
            QMUITips::showSucceed(result.message);
            // From the first page again, so that nothing is listed twice.
            self->requestPage(1);
        });
}
