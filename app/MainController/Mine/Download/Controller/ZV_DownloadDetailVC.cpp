#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"

#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"

ZV_DownloadDetailVC::ZV_DownloadDetailVC() = default;
ZV_DownloadDetailVC::~ZV_DownloadDetailVC() = default;

std::weak_ptr<ZV_DownloadDetailVC> ZV_DownloadDetailVC::weakSelf()
{
    return std::static_pointer_cast<ZV_DownloadDetailVC>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& ZV_DownloadDetailVC::zv_collectionView()
{
    if (!m_collectionView) {
        m_collectionView
            = std::make_shared<UICollectionView>(CGRect {}, std::make_shared<UICollectionViewFlowLayout>());
        auto self = std::static_pointer_cast<ZV_DownloadDetailVC>(sharedFromThis());
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setBackgroundColor(UIColor::white());
        m_collectionView->setShowsHorizontalScrollIndicator(false);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        m_collectionView->setContentInset({ 10, 0, 0, 0 });
        registerCell<ZV_DownloadCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("downloadDetail.list");
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& ZV_DownloadDetailVC::editBtn()
{
    if (!m_editBtn) {
        m_editBtn = editmode::makeEditButton();
        m_editBtn->addAction(UIControlEventTouchUpInside, [weak = weakSelf()](UIControl&) {
            if (auto self = weak.lock())
                self->setEdit(!self->isEdit());
        });
    }
    return m_editBtn;
}

const std::shared_ptr<UIView>& ZV_DownloadDetailVC::zv_bottomView()
{
    if (!m_bottomView) {
        m_bottomView = UIView::create();
        m_bottomView->setHidden(true);
    }
    return m_bottomView;
}

const std::shared_ptr<UIButton>& ZV_DownloadDetailVC::zv_allBtn()
{
    if (!m_allBtn) {
        m_allBtn = editmode::makeSelectAllButton();
        m_allBtn->addAction(UIControlEventTouchUpInside, [weak = weakSelf()](UIControl&) {
            if (auto self = weak.lock())
                self->selectAll();
        });
    }
    return m_allBtn;
}

const std::shared_ptr<UIButton>& ZV_DownloadDetailVC::zv_delBtn()
{
    if (!m_delBtn) {
        m_delBtn = editmode::makeDeleteButton();
        m_delBtn->addAction(UIControlEventTouchUpInside, [weak = weakSelf()](UIControl&) {
            if (auto self = weak.lock())
                self->confirmDelete();
        });
    }
    return m_delBtn;
}

void ZV_DownloadDetailVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setEdgesForExtendedLayout(UIRectEdgeNone);
    const std::shared_ptr<UIView>& root = view();
    m_advertView = editmode::makeBanner(*this, &ZV_AdvertConfigModel::downloaded_up);
    if (m_advertView) {
        root->addSubview(m_advertView);
        snp(m_advertView).makeConstraints([](ConstraintMaker& make) {
            make.top().equalToSuperview().offset(10);
            make.left().right().equalToSuperview().inset(24);
            make.height().equalTo((screenWidth() - 48) * 122 / 342);
        });
    }
    root->addSubview(zv_collectionView());
    snp(zv_collectionView()).makeConstraints([this, &root](ConstraintMaker& make) {
        if (m_advertView)
            make.top().equalTo(snp(m_advertView).bottom()).offset(10);
        else
            make.top().equalToSuperview().offset(10);
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
    });
    editmode::addBottomBar(*root, zv_bottomView(), zv_allBtn(), zv_delBtn());
}

void ZV_DownloadDetailVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(editBtn()));
    loadList();
}

void ZV_DownloadDetailVC::setList(std::vector<ZV_DownLoadModel> list)
{
    m_list = std::move(list);
    zv_allBtn()->setTitle(downloads::selectAllTitle(m_list.size()), UIControlStateNormal);
    zv_collectionView()->reloadData();
}

void ZV_DownloadDetailVC::loadList()
{
    auto found = ZV_DownLoadModel::findFinished(vod_id);
    if (!found)
        Log::write("ZV_DownloadDetailVC: the episodes cannot be read: " + found.error());
    setList(found ? std::move(*found) : std::vector<ZV_DownLoadModel>());
    setList(downloads::sortedByEpisodeName(m_list));
    if (!m_list.empty())
        setTitle(m_list.front().name);
}

std::shared_ptr<UICollectionViewCell> ZV_DownloadDetailVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return std::make_shared<UICollectionViewCell>();
    const ZV_DownLoadModel& record = m_list[static_cast<std::size_t>(indexPath.item)];
    auto cell = dequeueCell<ZV_DownloadCell>(view, indexPath);
    cell->isEdit = m_isEdit;
    cell->zv_selBtn()->setHidden(!m_isEdit);
    cell->setDownloadListModel(record);
    if (m_isEdit) {
        cell->zv_selBtn()->setImage(
            UIImage::named(downloads::containsEpisode(m_selectList, record) ? "main_sel" : "main_nor"),
            UIControlStateNormal);
    }
    return cell;
}

void ZV_DownloadDetailVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return;
    const ZV_DownLoadModel& record = m_list[static_cast<std::size_t>(indexPath.item)];
    if (!m_isEdit) {
        auto player = std::make_shared<ZV_OfflinePlayerVC>();
        player->episode_id = record.episodeId;
        player->vod_id = record.vod_id;
        player->name = record.name;
        show(player);
        return;
    }
    std::size_t selected = downloads::toggleEpisode(m_selectList, record);
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(selected), UIControlStateNormal);
}

void ZV_DownloadDetailVC::setEdit(bool edit)
{
    m_isEdit = edit;
    editBtn()->setSelected(edit);
    zv_bottomView()->setHidden(!edit);
    zv_collectionView()->reloadData();
}

void ZV_DownloadDetailVC::selectAll()
{
    if (m_selectList.size() != m_list.size())
        m_selectList = m_list;
    else
        m_selectList.clear();
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(m_selectList.size()), UIControlStateNormal);
}

void ZV_DownloadDetailVC::confirmDelete()
{
    if (m_selectList.empty())
        return;
    showAlert("确认要删除吗？", "取消", "确认", [weak = weakSelf()] {
        if (auto self = weak.lock())
            self->deleteSelected();
    });
}

void ZV_DownloadDetailVC::deleteSelected()
{
    for (const ZV_DownLoadModel& selected : m_selectList)
        downloads::deleteDownloads(downloads::recordsOfEpisode(selected.vod_id, selected.episodeId));
    loadList();
    m_selectList.clear();
    zv_delBtn()->setTitle(downloads::deleteTitle(0), UIControlStateNormal);
}

std::optional<CGSize> ZV_DownloadDetailVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { screenWidth(), 90 };
}

std::optional<UIEdgeInsets> ZV_DownloadDetailVC::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets {};
}

std::optional<CGFloat> ZV_DownloadDetailVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}

std::optional<CGFloat> ZV_DownloadDetailVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}
