#include "app/MainController/Mine/Download/Controller/DownloadListPage.h"

#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"

DownloadListPage::DownloadListPage(Look look)
    : m_look(look)
{ }

DownloadListPage::~DownloadListPage() = default;

std::weak_ptr<DownloadListPage> DownloadListPage::weakPage()
{
    return std::static_pointer_cast<DownloadListPage>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& DownloadListPage::zv_collectionView()
{
    if (!m_collectionView) {
        auto self = std::static_pointer_cast<DownloadListPage>(sharedFromThis());
        m_collectionView = editmode::makeList(std::weak_ptr<UICollectionViewDelegate>(self),
            std::weak_ptr<UICollectionViewDataSource>(self));
        registerCell<ZV_DownloadCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier(m_look.listIdentifier);
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& DownloadListPage::editBtn()
{
    if (!m_editBtn) {
        m_editBtn = editmode::makeEditButton();
        editmode::onTap(*m_editBtn, weakPage(), [](DownloadListPage& page) { page.setEdit(!page.isEdit()); });
    }
    return m_editBtn;
}

const std::shared_ptr<UIView>& DownloadListPage::zv_bottomView()
{
    if (!m_bottomView) {
        m_bottomView = UIView::create();
        if (m_look.opaqueEditBar)
            m_bottomView->setBackgroundColor(UIColor::systemBackground());
        m_bottomView->setHidden(true);
    }
    return m_bottomView;
}

const std::shared_ptr<UIButton>& DownloadListPage::zv_allBtn()
{
    if (!m_allBtn) {
        m_allBtn = editmode::makeSelectAllButton();
        editmode::onTap(*m_allBtn, weakPage(), &DownloadListPage::selectAll);
    }
    return m_allBtn;
}

const std::shared_ptr<UIButton>& DownloadListPage::zv_delBtn()
{
    if (!m_delBtn) {
        m_delBtn = editmode::makeDeleteButton();
        editmode::onTap(*m_delBtn, weakPage(), &DownloadListPage::confirmDelete);
    }
    return m_delBtn;
}

void DownloadListPage::viewDidLoad()
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
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom()).offset(-m_look.listBottomGap);
    });
    addPageBars(*root);
    editmode::addBottomBar(*root, zv_bottomView(), zv_allBtn(), zv_delBtn());
}

void DownloadListPage::listChanged(std::size_t count)
{
    zv_allBtn()->setTitle(downloads::selectAllTitle(count), UIControlStateNormal);
    zv_collectionView()->reloadData();
}

void DownloadListPage::leaveEditQuietly()
{
    m_isEdit = false;
    editBtn()->setSelected(false);
    zv_bottomView()->setHidden(true);
}

const ZV_DownLoadModel* DownloadListPage::recordAt(
    const std::vector<ZV_DownLoadModel>& list, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(list.size()))
        return nullptr;
    return &list[static_cast<std::size_t>(indexPath.item)];
}

std::shared_ptr<UICollectionViewCell> DownloadListPage::recordCell(UICollectionView& view,
    const IndexPath& indexPath, const ZV_DownLoadModel* record,
    void (ZV_DownloadCell::*fill)(std::optional<ZV_DownLoadModel>))
{
    if (!record)
        return std::make_shared<UICollectionViewCell>();
    auto cell = dequeueCell<ZV_DownloadCell>(view, indexPath);
    prepareCell(*cell);
    ((*cell).*fill)(*record);
    showSelection(*cell, *record);
    return cell;
}

void DownloadListPage::prepareCell(ZV_DownloadCell& cell) const
{
    cell.isEdit = m_isEdit;
    cell.zv_selBtn()->setHidden(!m_isEdit);
}

void DownloadListPage::showSelection(ZV_DownloadCell& cell, const ZV_DownLoadModel& record) const
{
    if (!m_isEdit)
        return;
    cell.zv_selBtn()->setImage(
        UIImage::named(downloads::containsEpisode(m_selectList, record) ? "main_sel" : "main_nor"),
        UIControlStateNormal);
}

void DownloadListPage::toggleSelected(const ZV_DownLoadModel& record)
{
    std::size_t selected = downloads::toggleEpisode(m_selectList, record);
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(selected), UIControlStateNormal);
}

void DownloadListPage::setEdit(bool edit)
{
    m_isEdit = edit;
    editBtn()->setSelected(edit);
    zv_bottomView()->setHidden(!edit);
    zv_collectionView()->reloadData();
}

void DownloadListPage::selectAll()
{
    std::vector<ZV_DownLoadModel> listed = listedRecords();
    if (m_selectList.size() != listed.size())
        m_selectList = std::move(listed);
    else
        m_selectList.clear();
    zv_collectionView()->reloadData();
    zv_delBtn()->setTitle(downloads::deleteTitle(m_selectList.size()), UIControlStateNormal);
}

void DownloadListPage::confirmDelete()
{
    if (m_selectList.empty())
        return;
    showAlert("确认要删除吗？", "取消", "确认", [weak = weakPage()] {
        if (auto self = weak.lock())
            self->deleteSelected();
    });
}

void DownloadListPage::deleteSelected()
{
    for (const ZV_DownLoadModel& selected : m_selectList)
        downloads::deleteDownloads(recordsToDelete(selected));
    loadList();
    m_selectList.clear();
    zv_delBtn()->setTitle(downloads::deleteTitle(0), UIControlStateNormal);
}
