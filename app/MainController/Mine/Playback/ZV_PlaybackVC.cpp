#include "app/MainController/Mine/Playback/ZV_PlaybackVC.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackCell.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackHeadReusableView.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"

namespace {

std::shared_ptr<ZV_PlaybackVC> shared(ZV_PlaybackVC& page)
{
    return std::static_pointer_cast<ZV_PlaybackVC>(page.sharedFromThis());
}

}

ZV_PlaybackVC::~ZV_PlaybackVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

const std::shared_ptr<UICollectionView>& ZV_PlaybackVC::zv_collectionView()
{
    if (!m_collectionView) {
        auto self = shared(*this);
        m_collectionView = editmode::makeList(std::weak_ptr<UICollectionViewDelegate>(self),
            std::weak_ptr<UICollectionViewDataSource>(self));
        registerCell<ZV_PlaybackCell>(*m_collectionView);
        registerSupplementaryView<ZV_PlaybackHeadReusableView>(
            *m_collectionView, UICollectionElementKindSectionHeader);
        m_collectionView->setAccessibilityIdentifier("playback.list");
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& ZV_PlaybackVC::editBtn()
{
    if (!m_editBtn) {
        m_editBtn = editmode::makeEditButton();
        editmode::onTap(*m_editBtn, std::weak_ptr<ZV_PlaybackVC>(shared(*this)), [](ZV_PlaybackVC& page) {
            page.setEdit(!page.isEdit());
            page.zv_collectionView()->reloadData();
        });
    }
    return m_editBtn;
}

const std::shared_ptr<UIView>& ZV_PlaybackVC::zv_bottomView()
{
    if (!m_bottomView)
        m_bottomView = UIView::create();
    return m_bottomView;
}

const std::shared_ptr<UIButton>& ZV_PlaybackVC::zv_allBtn()
{
    if (!m_allBtn) {
        m_allBtn = editmode::makeSelectAllButton();
        editmode::onTap(*m_allBtn, std::weak_ptr<ZV_PlaybackVC>(shared(*this)), &ZV_PlaybackVC::selectAll);
    }
    return m_allBtn;
}

const std::shared_ptr<UIButton>& ZV_PlaybackVC::zv_delBtn()
{
    if (!m_delBtn) {
        m_delBtn = editmode::makeDeleteButton();
        editmode::onTap(
            *m_delBtn, std::weak_ptr<ZV_PlaybackVC>(shared(*this)), &ZV_PlaybackVC::confirmDelete);
    }
    return m_delBtn;
}

void ZV_PlaybackVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    navigationItem().setTitle("播放记录");
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(editBtn()));
    std::weak_ptr<ZV_PlaybackVC> weakSelf = shared(*this);
    NotificationCenter::defaultCenter().addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->zv_playbackListRequest();
        },
        this);

    // Decided once: a later configuration neither adds nor removes the banner.
    m_advertView = editmode::makeBanner(*this, &ZV_AdvertConfigModel::play_record_up);
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
    zv_playbackListRequest();
}

void ZV_PlaybackVC::setEdit(bool edit)
{
    m_isEdit = edit;
    editBtn()->setSelected(edit);
    zv_bottomView()->setHidden(!edit);
    // The list keeps its top under the banner; only its bottom follows the bar.
    editmode::placeList(*zv_collectionView(), *view(), m_advertView, *zv_bottomView(), edit);
}

void ZV_PlaybackVC::zv_playbackListRequest()
{
    std::weak_ptr<ZV_PlaybackVC> weakSelf = shared(*this);
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::playbackList, JSON::object(),
        m_list.empty(), [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weakSelf.lock())
                self->listReceived(json);
        });
}

void ZV_PlaybackVC::listReceived(const std::optional<JSON>& json)
{
    if (!json)
        return;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> sections;
    for (const JSON& section : json->array().value_or(std::vector<JSON>()))
        sections.push_back(std::make_shared<ZV_HomeRecommendModelData>(section));
    m_list = std::move(sections);
    std::size_t count = allEntries().size();
    zv_allBtn()->setTitle("全选 " + std::to_string(count), UIControlStateNormal);
    zv_collectionView()->reloadData();
    showEmptyView(count == 0, emptyKindLogin, "登录后可查看播放记录");
}

std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> ZV_PlaybackVC::allEntries() const
{
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> entries;
    for (const auto& section : m_list)
        entries.insert(entries.end(), section->list.begin(), section->list.end());
    return entries;
}

std::shared_ptr<ZV_HomeRecommendModelDataList> ZV_PlaybackVC::entryAt(const IndexPath& indexPath) const
{
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_list.size()))
        return nullptr;
    const auto& entries = m_list[static_cast<std::size_t>(indexPath.section)]->list;
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(entries.size()))
        return nullptr;
    return entries[static_cast<std::size_t>(indexPath.item)];
}

int ZV_PlaybackVC::numberOfItems(UICollectionView&, int section)
{
    if (section < 0 || section >= static_cast<int>(m_list.size()))
        return 0;
    return static_cast<int>(m_list[static_cast<std::size_t>(section)]->list.size());
}

std::shared_ptr<UICollectionViewCell> ZV_PlaybackVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    std::shared_ptr<ZV_HomeRecommendModelDataList> entry = entryAt(indexPath);
    if (!entry)
        return std::make_shared<UICollectionViewCell>();
    auto cell = dequeueCell<ZV_PlaybackCell>(view, indexPath);
    cell->isEdit = m_isEdit;
    cell->zv_selBtn()->setHidden(!m_isEdit);
    cell->setModel(entry);
    return cell;
}

std::shared_ptr<UICollectionReusableView> ZV_PlaybackVC::viewForSupplementaryElement(
    UICollectionView& view, const std::string& kind, const IndexPath& indexPath)
{
    if (kind != UICollectionElementKindSectionHeader)
        return std::make_shared<UICollectionReusableView>();
    auto header = dequeueSupplementaryView<ZV_PlaybackHeadReusableView>(view, kind, indexPath);
    if (indexPath.section >= 0 && indexPath.section < static_cast<int>(m_list.size()))
        header->zv_title()->setText(m_list[static_cast<std::size_t>(indexPath.section)]->title);
    return header;
}

void ZV_PlaybackVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    std::shared_ptr<ZV_HomeRecommendModelDataList> entry = entryAt(indexPath);
    if (!entry)
        return;
    if (!m_isEdit) {
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = entry->movie_id;
        show(detail);
        return;
    }
    entry->isSel = !entry->isSel;
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(editmode::deleteTitle(editmode::selectedCount(allEntries())), UIControlStateNormal);
}

std::optional<CGSize> ZV_PlaybackVC::referenceSizeForHeader(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    if (section < 0 || section >= static_cast<int>(m_list.size())
        || m_list[static_cast<std::size_t>(section)]->list.empty())
        return CGSize { 0, 0 };
    return CGSize { screenWidth(), 40 };
}

void ZV_PlaybackVC::selectAll()
{
    for (const auto& entry : allEntries())
        entry->isSel = true;
    zv_collectionView()->reloadData();
}

void ZV_PlaybackVC::confirmDelete()
{
    if (editmode::selectedCount(allEntries()) == 0)
        return;
    std::weak_ptr<ZV_PlaybackVC> weakSelf = shared(*this);
    showAlert("确认要删除吗？", "取消", "确认", [weakSelf] {
        if (auto self = weakSelf.lock())
            self->deleteSelected();
    });
}

void ZV_PlaybackVC::deleteSelected()
{
    std::weak_ptr<ZV_PlaybackVC> weakSelf = shared(*this);
    editmode::requestDelete(
        deletePath, editmode::joinSelectedIds(allEntries()), [weakSelf](editmode::DeleteResult result) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            self->setEdit(false);
            // Only a success removes anything: a refusal keeps the entries and their selections,
            // and the marks go with the edit mode.
            if (!result.succeeded) {
                self->zv_collectionView()->reloadData();
                QMUITips::showError(result.message);
                return;
            }
            QMUITips::showSucceed(result.message);
            self->zv_playbackListRequest();
        });
}
