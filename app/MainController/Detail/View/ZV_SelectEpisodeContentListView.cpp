#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/net/AbsoluteURL.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <algorithm>
#include <cmath>

namespace {

bool sameEpisode(const ZV_DetailDataListPlayFromListModel& a, const ZV_DetailDataListPlayFromListModel& b)
{
    return a.episodeId == b.episodeId;
}

// The face of the download button while nothing is chosen.
UIColor idleFace()
{
    return zvadaptive::fillColor(UIColor::black().withAlphaComponent(0.1));
}

std::shared_ptr<QMUIButton> makeBarButton(const std::string& title, const std::string& identifier)
{
    auto button = UIView::create<QMUIButton>();
    button->setTitle(title);
    button->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")));
    button->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    button->setAccessibilityIdentifier(identifier);
    return button;
}

}

std::shared_ptr<ZV_SelectEpisodeContentListView> ZV_SelectEpisodeContentListView::make(const CGRect& frame)
{
    auto view = UIView::create<ZV_SelectEpisodeContentListView>(frame);
    view->setupUI();
    return view;
}

ZV_SelectEpisodeContentListView::ZV_SelectEpisodeContentListView(const CGRect& frame)
    : UIView(frame)
{ }

void ZV_SelectEpisodeContentListView::setupUI()
{
    auto self = std::static_pointer_cast<ZV_SelectEpisodeContentListView>(sharedFromThis());
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setMinimumLineSpacing(8);
    layout->setMinimumInteritemSpacing(8);
    m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setAccessibilityIdentifier("episodes.grid");
    registerCell<ZV_EpisodeListCell>(*m_collectionView);
    m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
    m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));

    m_downloadView = UIView::create();
    // The bar continues the sheet: the system background in the light style, the sheet's grey in the dark.
    m_downloadView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::systemBackground()));
    m_downloadAllBtn = makeBarButton("全选", "episodes.selectAll");
    m_downloadAllBtn->setImage(zvadaptive::iconImage(UIImage::named("allSelect")));
    m_downloadAllBtn->setImage(zvadaptive::iconImage(UIImage::named("allSelected")), UIControlStateSelected);
    m_downloadAllBtn->setSpacingBetweenImageAndTitle(8);
    m_downloadStackView = UIView::create<UIStackView>();
    m_downloadStackView->setAxis(UILayoutConstraintAxis::horizontal);
    m_downloadStackView->setSpacing(8);
    m_downloadStackView->setAlignment(UIStackViewAlignment::center);
    m_downloadStackView->setDistribution(UIStackViewDistribution::fillEqually);
    m_downloadBtn = makeBarButton(downloadTitle, "episodes.download");
    m_downloadBtn->layer()->setCornerRadius(8);
    m_downloadBtn->setClipsToBounds(true);
    // Enabled, the button turns to the bright accent, which keeps its dark title in either style.
    m_downloadBtn->setTitleColor(colorWithHex("1D1942"));
    m_downloadBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942", 0.5)), UIControlStateDisabled);
    m_downloadBtn->setBackgroundColor(idleFace());
    m_downloadBtn->setEnabled(false);
    m_lookBtn = makeBarButton("查看全部下载", "episodes.lookDownloads");
    m_lookBtn->layer()->setCornerRadius(8);
    m_lookBtn->setClipsToBounds(true);
    m_lookBtn->layer()->setBorderWidth(1);
    m_lookBtn->layer()->setBorderColor(zvadaptive::lineColor(UIColor::black().withAlphaComponent(0.1)));
    m_lookBtn->setImage(zvadaptive::iconImage(UIImage::named("arrow_Right")));
    m_lookBtn->setImagePosition(QMUIButtonImagePosition::right);

    addSubview(m_collectionView);
    addSubview(m_downloadView);
    m_downloadView->addSubview(m_downloadAllBtn);
    m_downloadView->addSubview(m_downloadStackView);
    m_downloadStackView->addArrangedSubview(m_downloadBtn);
    m_downloadStackView->addArrangedSubview(m_lookBtn);
    snp(m_collectionView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_downloadView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.height().equalTo(downloadBarHeight);
    });
    snp(m_downloadAllBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(20);
        make.left().equalToSuperview().offset(24);
    });
    snp(m_downloadStackView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().equalToSuperview().offset(52);
        make.width().equalTo(screenWidth() - 48);
    });
    for (const auto& button : { m_downloadBtn, m_lookBtn })
        snp(button).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(48); });
    m_downloadView->setHidden(true);

    std::weak_ptr<UIView> weak = weakFromThis();
    auto on = [weak](void (ZV_SelectEpisodeContentListView::*action)()) {
        return [weak, action](UIControl&) {
            if (auto page = std::static_pointer_cast<ZV_SelectEpisodeContentListView>(weak.lock()))
                ((*page).*action)();
        };
    };
    m_downloadAllBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SelectEpisodeContentListView::zv_clickAllSelect));
    m_downloadBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SelectEpisodeContentListView::clickDownload));
    m_lookBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SelectEpisodeContentListView::clickLookDownload));
}

void ZV_SelectEpisodeContentListView::setList(Episodes list)
{
    m_list = std::move(list);
    CGFloat half = (screenWidth() - 72) / 2;
    for (const auto& episode : m_list) {
        std::string name = episode ? episode->episodeName.value_or("") : std::string();
        if (!name.empty() && std::ceil(TextLayout::measure(name, UIFont::boldSystemFont(14)).width) > half)
            isOneRow = true;
    }
    m_collectionView->reloadData();
    m_downloadView->setHidden(!isDownload);
    if (isDownload)
        reloadRecords();
}

void ZV_SelectEpisodeContentListView::reloadRecords()
{
    auto records = ZV_DownLoadModel::findAll();
    if (!records) {
        Log::write("ZV_SelectEpisodeContentListView: download records not read: " + records.error());
        return;
    }
    downloadList = std::move(*records);
}

bool ZV_SelectEpisodeContentListView::isDownloaded(const ZV_DetailDataListPlayFromListModel& episode) const
{
    std::string title = model ? model->id.value_or("") : std::string();
    std::string id = episode.episodeId.value_or("");
    // Records of other titles may share an episode id; a failed download may be chosen again.
    return std::any_of(downloadList.begin(), downloadList.end(), [&](const ZV_DownLoadModel& record) {
        return record.vod_id == title && record.episodeId == id
            && record.state != ZV_DownLoadModel::stateFail;
    });
}

ZV_SelectEpisodeContentListView::Episodes ZV_SelectEpisodeContentListView::availableEpisodes() const
{
    Episodes available;
    for (const auto& episode : m_list) {
        if (episode && !isDownloaded(*episode))
            available.push_back(episode);
    }
    return available;
}

// ---- Grid ----

std::optional<CGSize> ZV_SelectEpisodeContentListView::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { isOneRow ? screenWidth() - 48 : (screenWidth() - 56) / 2, 44 };
}

std::optional<UIEdgeInsets> ZV_SelectEpisodeContentListView::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, static_cast<CGFloat>(isDownload ? 150 : 24), 24 };
}

std::shared_ptr<UICollectionViewCell> ZV_SelectEpisodeContentListView::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_EpisodeListCell>(collection, indexPath);
    cell->name()->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    cell->checkView()->setHidden(true);
    cell->contentView()->setBackgroundColor(zvadaptive::fillColor(colorWithHex("F3F5F9")));
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index >= m_list.size() || !m_list[index])
        return cell;
    const auto& episode = m_list[index];
    cell->name()->setText(episode->episodeName.value_or(""));
    bool playing = episode->episodeId.value_or("") == episodeId;
    cell->playingView()->setHidden(!playing);
    if (playing)
        cell->playingView()->startAnimating();
    else
        cell->playingView()->stopAnimating();
    if (isDownload) {
        bool chosen = std::any_of(selectList.begin(), selectList.end(),
            [&](const auto& each) { return each && sameEpisode(*each, *episode); });
        const char* image
            = isDownloaded(*episode) ? "selectDownload" : (chosen ? "downloadFill" : "downloadNone");
        // The download mark is drawn in the accent for either page; the check boxes for a light one.
        std::optional<UIImage> mark = UIImage::named(image);
        cell->checkView()->setImage(isDownloaded(*episode) ? mark : zvadaptive::iconImage(mark));
        cell->checkView()->setHidden(false);
    }
    return cell;
}

void ZV_SelectEpisodeContentListView::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index >= m_list.size() || !m_list[index])
        return;
    std::shared_ptr<ZV_DetailDataListPlayFromListModel> episode = m_list[index];
    if (!isDownload) {
        if (std::function<void(const std::string&)> owner = clickIndexWithEpisodeId)
            owner(episode->episodeId.value_or(""));
        return;
    }
    bool chosen = std::any_of(selectList.begin(), selectList.end(),
        [&](const auto& each) { return each && sameEpisode(*each, *episode); });
    if (chosen || isDownloaded(*episode))
        removeEpisode(selectList, *episode);
    else
        selectList.push_back(episode);
    m_collectionView->reloadData();
    updateDownloadBar();
}

void ZV_SelectEpisodeContentListView::updateDownloadBar()
{
    // While a batch is being started the button stays off, so a second tap starts nothing twice.
    bool enabled = !selectList.empty() && !m_group;
    m_downloadBtn->setEnabled(enabled);
    m_downloadBtn->setBackgroundColor(enabled ? colorWithHex("03FFE1") : idleFace());
    m_downloadBtn->setTitle(selectList.empty()
            ? std::string(downloadTitle)
            : std::string(downloadTitle) + " " + std::to_string(selectList.size()));
    std::size_t available = availableEpisodes().size();
    m_downloadAllBtn->setSelected(available > 0 && selectList.size() == available);
}

void ZV_SelectEpisodeContentListView::toggleSelectAll()
{
    Episodes available = availableEpisodes();
    if (selectList.size() == available.size())
        selectList.clear();
    else
        selectList = std::move(available);
    m_collectionView->reloadData();
    updateDownloadBar();
}

void ZV_SelectEpisodeContentListView::clickLookDownload()
{
    ZV_Tools::getCurrentVC()->show(std::make_shared<ZV_DownloadVC>());
    QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
}

// ---- Batch download ----

std::optional<std::string> ZV_SelectEpisodeContentListView::recordState(MCSAssetExportStatus status)
{
    return downloads::startedState(status);
}

void ZV_SelectEpisodeContentListView::startDownload()
{
    if (m_group || selectList.empty())
        return;
    m_group.emplace();
    m_batchStarted = 0;
    m_batchFailed = 0;
    updateDownloadBar();
    QMUITips::showLoading(preparingText, sharedFromThis());
    std::weak_ptr<UIView> weak = weakFromThis();
    // A copy: the selection may change while the batch runs.
    Episodes batch = selectList;
    for (const auto& episode : batch) {
        if (!episode)
            continue;
        m_group->enter();
        if (episode->readyToPlay.value_or(false)) {
            exportEpisode(episode->playUrl.value_or(""), episode);
            continue;
        }
        JSON parameters = JSON::object({ { "play_url", episode->playUrl.value_or("") },
            { "from_code", episode->fromCode.value_or("") } });
        // Every reply ends this episode's part, a refused sign-in included.
        ZV_Network::shared().request(
            HTTPMethod::GET, BaseURLs::main_url(), path(ZV_API::movieAddressParse), parameters,
            [weak, episode](std::optional<JSON> json, std::optional<NSError>) {
                auto page = std::static_pointer_cast<ZV_SelectEpisodeContentListView>(weak.lock());
                if (!page)
                    return;
                if (json)
                    page->exportEpisode((*json)["url"].stringValue(), episode);
                else
                    page->leaveBatch(false);
            },
            ZV_Network::SignInReplies::Complete);
    }
    m_group->notify(DispatchQueue::main(), [weak] {
        if (auto page = std::static_pointer_cast<ZV_SelectEpisodeContentListView>(weak.lock()))
            page->batchStarted();
    });
}

void ZV_SelectEpisodeContentListView::leaveBatch(bool started)
{
    if (!m_group)
        return;
    (started ? m_batchStarted : m_batchFailed) += 1;
    m_group->leave();
}

void ZV_SelectEpisodeContentListView::exportEpisode(
    const std::string& url, const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& episode)
{
    // Nothing is written for an address that cannot be downloaded: a record without a working
    // export would wait for ever.
    if (!episode || !isAbsoluteURL(url, { "http", "https" })) {
        leaveBatch(false);
        return;
    }
    std::shared_ptr<MCSAssetExporter> exporter = SJMediaCacheServer::shared().exportAssetWithURL(url);
    if (!exporter) {
        leaveBatch(false);
        return;
    }
    std::string title = model ? model->id.value_or("") : std::string();
    std::string episodeID = episode->episodeId.value_or("");
    // A failed download of the episode is started again in its own record.
    ZV_DownLoadModel record;
    if (auto found = ZV_DownLoadModel::findEpisode(title, episodeID); found && *found)
        record = **found;
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source
        = model ? ZV_DetailVC::sourceInUse(*model) : nullptr;
    record.url = url;
    record.name = model ? model->name.value_or("") : std::string();
    record.cover = model ? model->cover.value_or("") : std::string();
    record.vod_id = title;
    record.source = source ? source->name.value_or("") : std::string();
    record.typeName = model ? model->typeName.value_or("") : std::string();
    record.episodeId = episodeID;
    record.episodeName = episode->episodeName.value_or("");
    record.state = ZV_DownLoadModel::stateWaiting;
    if (ASStatus saved = record.save(); !saved) {
        Log::write("ZV_SelectEpisodeContentListView: download record not saved: " + saved.error());
        leaveBatch(false);
        return;
    }
    // The records of other titles on the same address follow the same export: a handler in place
    // serves them all and is kept.
    downloads::followExport(*exporter);
    exporter->resume();
    leaveBatch(true);
}

void ZV_SelectEpisodeContentListView::batchStarted()
{
    int started = m_batchStarted;
    int failed = m_batchFailed;
    m_group.reset();
    QMUITips::hideAllTips();
    if (failed == 0)
        QMUITips::showSucceed(startedText, sharedFromThis());
    else if (started > 0)
        QMUITips::showInfo(
            std::string(startedText) + "，" + std::to_string(failed) + " 集暂时无法下载", sharedFromThis());
    else
        QMUITips::showError("暂时无法下载，请稍后再试", sharedFromThis());
    reloadRecords();
    selectList.clear();
    m_collectionView->reloadData();
    updateDownloadBar();
    m_downloadAllBtn->setSelected(false);
}
