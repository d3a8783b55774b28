#include "app/MainController/Mine/Download/Controller/ZV_DownloadingVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/ParsableURL.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIPieProgressView.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string percentText(float fraction)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(fraction) * 100);
    return text;
}

std::shared_ptr<QMUIButton> makeBulkButton(const std::string& title, const std::string& identifier)
{
    auto button = UIView::create<QMUIButton>();
    button->layer()->setCornerRadius(8);
    button->layer()->setMasksToBounds(true);
    button->layer()->setBorderWidth(1);
    button->layer()->setBorderColor(zvadaptive::lineColor(UIColor::black().withAlphaComponent(0.1)));
    button->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
    button->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    button->setTitle(title, UIControlStateNormal);
    button->setAccessibilityIdentifier(identifier);
    return button;
}

}

// The list ends above the pause-all and start-all bar.
ZV_DownloadingVC::ZV_DownloadingVC()
    : DownloadListPage({ .listIdentifier = "downloading.list", .listBottomGap = 54, .opaqueEditBar = true })
{ }

ZV_DownloadingVC::~ZV_DownloadingVC() = default;

std::weak_ptr<ZV_DownloadingVC> ZV_DownloadingVC::weakSelf()
{
    return std::static_pointer_cast<ZV_DownloadingVC>(sharedFromThis());
}

const std::shared_ptr<UIStackView>& ZV_DownloadingVC::allStackView()
{
    if (!m_allStackView) {
        m_allStackView = UIView::create<UIStackView>();
        m_allStackView->setAxis(UIStackView::Axis::horizontal);
        m_allStackView->setDistribution(UIStackViewDistribution::fillEqually);
        m_allStackView->setSpacing(12);
        m_allStackView->setBackgroundColor(UIColor::systemBackground());
        m_allStackView->addArrangedSubview(allPauseBtn());
        m_allStackView->addArrangedSubview(allStartBtn());
    }
    return m_allStackView;
}

const std::shared_ptr<QMUIButton>& ZV_DownloadingVC::allPauseBtn()
{
    if (!m_allPauseBtn) {
        m_allPauseBtn = makeBulkButton("全部暂停", "downloading.pauseAll");
        editmode::onTap(
            *m_allPauseBtn, weakSelf(), [](ZV_DownloadingVC& page) { page.controlAllExports(false); });
    }
    return m_allPauseBtn;
}

const std::shared_ptr<QMUIButton>& ZV_DownloadingVC::allStartBtn()
{
    if (!m_allStartBtn) {
        m_allStartBtn = makeBulkButton("全部开始", "downloading.startAll");
        editmode::onTap(
            *m_allStartBtn, weakSelf(), [](ZV_DownloadingVC& page) { page.controlAllExports(true); });
    }
    return m_allStartBtn;
}

void ZV_DownloadingVC::addPageBars(UIView& root)
{
    root.addSubview(allStackView());
    snp(allStackView()).makeConstraints([&root](ConstraintMaker& make) {
        make.height().equalTo(44);
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom()).offset(-8);
    });
    for (const auto& button : { allPauseBtn(), allStartBtn() })
        snp(button).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(44); });
}

void ZV_DownloadingVC::viewWillAppear(bool animated)
{
    DownloadListPage::viewWillAppear(animated);
    loadList();
}

void ZV_DownloadingVC::setList(std::vector<std::shared_ptr<ZV_DownLoadModel>> list)
{
    m_list = std::move(list);
    listChanged(m_list.size());
}

void ZV_DownloadingVC::loadList()
{
    auto found = ZV_DownLoadModel::findUnfinished();
    if (!found)
        Log::write("ZV_DownloadingVC: the downloads cannot be read: " + found.error());
    std::vector<std::shared_ptr<ZV_DownLoadModel>> list;
    for (ZV_DownLoadModel& record : found ? *found : std::vector<ZV_DownLoadModel>())
        list.push_back(std::make_shared<ZV_DownLoadModel>(std::move(record)));
    setList(std::move(list));

    std::shared_ptr<ZV_DownloadVC> centre = ZV_DownloadVC::holding(*this);
    if (centre)
        centre->setUnfinishedCount(m_list.size());

    // Copied: a resume may report at once, and a handler may load the list again.
    const auto listed = m_list;
    for (const auto& record : listed) {
        observeExport(record->url);
        if (record->state != ZV_DownLoadModel::statePause && parsesAsURL(record->url))
            SJMediaCacheServer::shared().exportAssetWithURL(record->url, true);
    }

    if (m_list.empty()) {
        showEmptyView(true, emptyKindNothing);
        leaveEditQuietly();
        allStackView()->setHidden(true);
        if (centre)
            centre->setEditButton(*this, nullptr);
    } else {
        showEmptyView(false, emptyKindNothing);
        allStackView()->setHidden(false);
        if (centre)
            centre->setEditButton(*this, editBtn());
    }
    zv_collectionView()->reloadData();
}

void ZV_DownloadingVC::observeExport(const std::string& url)
{
    bool listed
        = std::any_of(m_list.begin(), m_list.end(), [&](const auto& each) { return each->url == url; });
    if (!listed || !parsesAsURL(url))
        return;
    std::shared_ptr<MCSAssetExporter> exporter = SJMediaCacheServer::shared().exportAssetWithURL(url);
    if (!exporter)
        return;
    std::weak_ptr<ZV_DownloadingVC> page = weakSelf();
    exporter->setStatusDidChangeExecuteBlock(
        [page](MCSAssetExporter& changed) { applyExportStatus(page, changed); });
    exporter->setProgressDidChangeExecuteBlock(
        [page](MCSAssetExporter& changed) { applyExportProgress(page, changed); });
}

void ZV_DownloadingVC::changeListed(
    const std::string& url, const std::function<void(ZV_DownLoadModel&)>& change)
{
    for (const auto& each : m_list) {
        if (each->url == url)
            change(*each);
    }
}

const char* ZV_DownloadingVC::stateForStatus(unsigned status)
{
    switch (static_cast<MCSAssetExportStatus>(status)) {
    case MCSAssetExportStatus::waiting:
        return ZV_DownLoadModel::stateWaiting;
    case MCSAssetExportStatus::exporting:
        return ZV_DownLoadModel::stateDowning;
    case MCSAssetExportStatus::finished:
        return ZV_DownLoadModel::stateFinish;
    case MCSAssetExportStatus::failed:
        return ZV_DownLoadModel::stateFail;
    case MCSAssetExportStatus::suspended:
        return ZV_DownLoadModel::statePause;
    default:
        return nullptr;
    }
}

void ZV_DownloadingVC::applyExportStatus(
    const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter)
{
    auto status = static_cast<unsigned>(exporter.status());
    const char* state = stateForStatus(status);
    auto write = [state](ZV_DownLoadModel& each) { each.state = state; };
    // Every title's record of the address follows, not only the one listed first.
    bool stored = !state || downloads::storeChangeOfAddress(exporter.URL(), write);
    auto self = page.lock();
    if (!self)
        return;
    if (state)
        self->changeListed(exporter.URL(), write);
    // A finished download leaves this list for the other tab; a load resumes what it lists, and a
    // finished export answers that with its status again, so only a stored finish loads.
    if (status == static_cast<unsigned>(MCSAssetExportStatus::finished) && stored)
        self->loadList();
    self->zv_collectionView()->reloadData();
}

void ZV_DownloadingVC::applyExportProgress(
    const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter)
{
    double progress = static_cast<double>(exporter.progress());
    auto write = [progress](ZV_DownLoadModel& each) { each.progress = progress; };
    downloads::storeChangeOfAddress(exporter.URL(), write);
    auto self = page.lock();
    if (!self)
        return;
    self->changeListed(exporter.URL(), write);
    // In edit mode the rows stay still under the viewer's selection.
    if (!self->m_isEdit)
        self->zv_collectionView()->reloadData();
}

std::shared_ptr<UICollectionViewCell> ZV_DownloadingVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return std::make_shared<UICollectionViewCell>();
    const ZV_DownLoadModel& record = *m_list[static_cast<std::size_t>(indexPath.item)];
    auto cell = dequeueCell<ZV_DownloadCell>(view, indexPath);
    prepareCell(*cell);
    cell->setDownloadingModel(record);
    cell->pieProgressView()->setHidden(true);
    cell->zv_desLb()->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    if (record.state == ZV_DownLoadModel::stateFail) {
        cell->zv_desLb()->setTextColor(colorWithHex("#EF5252"));
        cell->zv_desLb()->setText("下载失败，点击重试");
    }
    if (!parsesAsURL(record.url))
        return cell;
    std::string percent = percentText(SJMediaCacheServer::shared().exportProgressWithURL(record.url));
    if (record.state == ZV_DownLoadModel::statePause)
        cell->zv_desLb()->setText("已暂停 " + percent + "%");
    if (record.state == ZV_DownLoadModel::stateWaiting)
        cell->zv_desLb()->setText("等待下载");
    if (record.state == ZV_DownLoadModel::stateDowning) {
        cell->pieProgressView()->setHidden(false);
        cell->pieProgressView()->setProgress(record.progress);
        cell->zv_desLb()->setText(percent + "% " + m_speed.getInternetSpeed());
    }
    showSelection(*cell, record);
    return cell;
}

void ZV_DownloadingVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return;
    const ZV_DownLoadModel& record = *m_list[static_cast<std::size_t>(indexPath.item)];
    if (!m_isEdit) {
        if (!parsesAsURL(record.url))
            return;
        // The state follows through the status handler.
        if (auto exporter = SJMediaCacheServer::shared().exportAssetWithURL(record.url)) {
            MCSAssetExportStatus status = exporter->status();
            if (status == MCSAssetExportStatus::waiting || status == MCSAssetExportStatus::exporting)
                exporter->suspend();
            else
                exporter->resume();
        }
        zv_collectionView()->reloadData();
        return;
    }
    toggleSelected(record);
}

std::vector<ZV_DownLoadModel> ZV_DownloadingVC::listedRecords() const
{
    std::vector<ZV_DownLoadModel> records;
    for (const auto& record : m_list)
        records.push_back(*record);
    return records;
}

std::vector<ZV_DownLoadModel> ZV_DownloadingVC::recordsToDelete(const ZV_DownLoadModel& selected) const
{
    return downloads::recordsOfEpisode(selected.vod_id, selected.episodeId);
}

void ZV_DownloadingVC::controlAllExports(bool resume)
{
    for (const auto& record : m_list) {
        if (!parsesAsURL(record->url))
            continue;
        auto exporter = SJMediaCacheServer::shared().exportAssetWithURL(record->url);
        if (!exporter)
            continue;
        if (resume)
            exporter->resume();
        else
            exporter->suspend();
    }
}
