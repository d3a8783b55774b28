#include "app/MainController/Mine/Download/Controller/ZV_DownloadedVC.h"

#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/storage/ASDatabase.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"

#include <algorithm>
#include <functional>

namespace {

std::filesystem::path cacheRoot()
{
    return AppContainer::documentsDirectory() / ZV_DownloadedVC::cacheFolder;
}

// A folder name of the catalogue that stays inside the cache folder: one plain path component.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

}

ZV_DownloadedVC::ZV_DownloadedVC() = default;
ZV_DownloadedVC::~ZV_DownloadedVC() = default;

std::weak_ptr<ZV_DownloadedVC> ZV_DownloadedVC::weakSelf()
{
    return std::static_pointer_cast<ZV_DownloadedVC>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& ZV_DownloadedVC::zv_collectionView()
{
    if (!m_collectionView) {
        m_collectionView
            = std::make_shared<UICollectionView>(CGRect {}, std::make_shared<UICollectionViewFlowLayout>());
        auto self = std::static_pointer_cast<ZV_DownloadedVC>(sharedFromThis());
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setBackgroundColor(UIColor::white());
        m_collectionView->setShowsHorizontalScrollIndicator(false);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        m_collectionView->setContentInset({ 10, 0, 0, 0 });
        registerCell<ZV_DownloadCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("downloaded.list");
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& ZV_DownloadedVC::editBtn()
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

const std::shared_ptr<UIView>& ZV_DownloadedVC::zv_bottomView()
{
    if (!m_bottomView) {
        m_bottomView = UIView::create();
        m_bottomView->setHidden(true);
    }
    return m_bottomView;
}

const std::shared_ptr<UIButton>& ZV_DownloadedVC::zv_allBtn()
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

const std::shared_ptr<UIButton>& ZV_DownloadedVC::zv_delBtn()
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

void ZV_DownloadedVC::viewDidLoad()
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
    catalog();
}

ASDatabase* ZV_DownloadedVC::catalog()
{
    if (m_db)
        return m_db.get();
    std::filesystem::path file = cacheRoot() / catalogFile;
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return nullptr;
    auto opened = ASDatabase::open(file.string(), ASOpenMode::ReadOnly);
    if (!opened) {
        Log::write("ZV_DownloadedVC: the media catalogue cannot be opened: " + opened.error());
        return nullptr;
    }
    m_db = *opened;
    return m_db.get();
}

void ZV_DownloadedVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    refreshExportSizes();
}

void ZV_DownloadedVC::refreshExportSizes()
{
    for (const auto& exporter : SJMediaCacheServer::shared().allExporters()) {
        if (exporter)
            fillSize(*exporter);
    }
    loadList();
}

std::vector<std::filesystem::path> ZV_DownloadedVC::exportFolders(ASDatabase& catalog, const std::string& url)
{
    auto rows = catalog.select(catalogTable, { "name" }, ASQuery().equal("URLString", url));
    if (!rows) {
        Log::write("ZV_DownloadedVC: the media catalogue cannot be read: " + rows.error());
        return {};
    }
    std::vector<std::filesystem::path> folders;
    for (const auto& row : *rows) {
        if (row.empty() || row.front().kind() != ASValue::Kind::Text || !isPlainName(row.front().text())) {
            Log::write("ZV_DownloadedVC: a catalogue row names no folder of the cache");
            continue;
        }
        folders.push_back(cacheRoot() / row.front().text());
    }
    return folders;
}

void ZV_DownloadedVC::fillSize(const MCSAssetExporter& exporter)
{
    if (exporter.status() != MCSAssetExportStatus::finished)
        return;
    auto found = ZV_DownLoadModel::findFirst(ASQuery().equal("url", exporter.URL()));
    if (!found) {
        Log::write("ZV_DownloadedVC: a download cannot be read: " + found.error());
        return;
    }
    if (!*found)
        return;
    ZV_DownLoadModel& record = **found;
    if (static_cast<long long>(record.size) > measuredKilobytes)
        return;

    std::vector<double> sizes;
    if (ASDatabase* db = catalog()) {
        for (const auto& folder : exportFolders(*db, record.url))
            sizes.push_back(ZV_Tools::folderSize(folder));
    }
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    std::optional<double> largest = sizes.empty() ? std::nullopt : std::optional(sizes.front());
    // Finished also when the catalogue names no folder: the size then stays as it was.
    downloads::storeChange(record, [&largest](ZV_DownLoadModel& each) {
        each.state = ZV_DownLoadModel::stateFinish;
        if (largest)
            each.size = *largest;
    });
}

void ZV_DownloadedVC::setList(std::vector<ZV_DownLoadModel> list)
{
    m_list = std::move(list);
    zv_allBtn()->setTitle(downloads::selectAllTitle(m_list.size()), UIControlStateNormal);
    zv_collectionView()->reloadData();
}

void ZV_DownloadedVC::loadList()
{
    auto found = ZV_DownLoadModel::findFinished();
    if (!found)
        Log::write("ZV_DownloadedVC: the downloads cannot be read: " + found.error());
    std::vector<ZV_DownLoadModel> finished = found ? std::move(*found) : std::vector<ZV_DownLoadModel>();
    // Stored order reversed: the newest download first, and it stands for its title.
    std::reverse(finished.begin(), finished.end());
    setList(std::move(finished));
    setList(downloads::uniqueByVodId(m_list));

    std::shared_ptr<ZV_DownloadVC> centre = ZV_DownloadVC::holding(*this);
    if (centre)
        centre->setUnfinishedCount(downloads::unfinishedCount());

    if (m_list.empty()) {
        m_isEdit = false;
        editBtn()->setSelected(false);
        zv_bottomView()->setHidden(true);
        showEmptyView(true, emptyKindNothing);
        if (centre)
            centre->setEditButton(*this, nullptr);
    } else {
        showEmptyView(false, emptyKindNothing);
        if (centre)
            centre->setEditButton(*this, editBtn());
    }
    zv_collectionView()->reloadData();
}

std::shared_ptr<UICollectionViewCell> ZV_DownloadedVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return std::make_shared<UICollectionViewCell>();
    const ZV_DownLoadModel& record = m_list[static_cast<std::size_t>(indexPath.item)];
    auto cell = dequeueCell<ZV_DownloadCell>(view, indexPath);
    cell->isEdit = m_isEdit;
    cell->zv_selBtn()->setHidden(!m_isEdit);
    cell->setDownloadModel(record);
    if (m_isEdit) {
        cell->zv_selBtn()->setImage(
            UIImage::named(downloads::containsEpisode(m_selectList, record) ? "main_sel" : "main_nor"),
            UIControlStateNormal);
    }
    return cell;
}

void ZV_DownloadedVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return;
    const ZV_DownLoadModel& record = m_list[static_cast<std::size_t>(indexPath.item)];
    if (!m_isEdit) {
        auto detail = std::make_shared<ZV_DownloadDetailVC>();
        detail->vod_id = record.vod_id;
        show(detail);
        return;
    }
    std::size_t selected = downloads::toggleEpisode(m_selectList, record);
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(selected), UIControlStateNormal);
}

void ZV_DownloadedVC::setEdit(bool edit)
{
    m_isEdit = edit;
    editBtn()->setSelected(edit);
    zv_bottomView()->setHidden(!edit);
    zv_collectionView()->reloadData();
}

void ZV_DownloadedVC::selectAll()
{
    if (m_selectList.size() != m_list.size())
        m_selectList = m_list;
    else
        m_selectList.clear();
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(m_selectList.size()), UIControlStateNormal);
}

void ZV_DownloadedVC::confirmDelete()
{
    if (m_selectList.empty())
        return;
    showAlert("确认要删除吗？", "取消", "确认", [weak = weakSelf()] {
        if (auto self = weak.lock())
            self->deleteSelected();
    });
}

void ZV_DownloadedVC::deleteSelected()
{
    for (const ZV_DownLoadModel& selected : m_selectList)
        downloads::deleteDownloads(downloads::recordsOfTitle(selected.vod_id));
    loadList();
    m_selectList.clear();
    zv_delBtn()->setTitle(downloads::deleteTitle(0), UIControlStateNormal);
}

std::optional<CGSize> ZV_DownloadedVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { screenWidth(), 90 };
}

std::optional<UIEdgeInsets> ZV_DownloadedVC::insetForSection(UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets {};
}

std::optional<CGFloat> ZV_DownloadedVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}

std::optional<CGFloat> ZV_DownloadedVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}
