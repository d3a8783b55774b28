#include "app/MainController/Detail/View/ZV_Player.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/Model/SJPlaybackRecordExtended.h"
#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_PlayerADView.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/dispatch/Timer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/media/AVRoutePickerView.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

NSAttributes itemAttributes()
{
    NSAttributes attributes;
    attributes.font = UIFont::systemFont(16, UIFont::Weight::medium);
    attributes.foregroundColor = UIColor::white();
    return attributes;
}

NSAttributes promptAttributes(std::optional<UIColor> color = std::nullopt)
{
    NSAttributes attributes;
    attributes.font = UIFont::systemFont(12, UIFont::Weight::medium);
    attributes.foregroundColor = color.value_or(UIColor::white());
    return attributes;
}

// A prompt in parts, each plain or in the system's teal. Prompts show on their dark bubble over the
// picture in either style: the teal is the shade the system gives dark surfaces.
NSAttributedString promptText(const std::vector<std::pair<std::string, bool>>& parts)
{
    UIColor teal = UIColor::systemTeal().resolved(UIUserInterfaceStyle::dark);
    NSMutableAttributedString text;
    for (const auto& [part, highlighted] : parts)
        text.append(NSAttributedString(part, promptAttributes(highlighted ? std::optional(teal) : std::nullopt)));
    return text;
}

// Leading digits of a text, 0 without any (as the platform reads a number from text).
std::int64_t leadingInteger(const std::optional<std::string>& text)
{
    std::int64_t value = 0;
    if (!text)
        return 0;
    for (char c : *text) {
        if (c < '0' || c > '9' || value > 100'000'000'000)
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}

ZV_Player::ZV_Player()
    : ZV_Player(CGRect {})
{ }

ZV_Player::ZV_Player(const CGRect& frame)
    : UIView(frame)
{ }

ZV_Player::~ZV_Player()
{
    if (waitingTime)
        waitingTime->invalidate();
}

std::weak_ptr<ZV_Player> ZV_Player::weakSelf()
{
    return std::static_pointer_cast<ZV_Player>(weakFromThis().lock());
}

// ---- Parts ----

std::shared_ptr<SJEdgeControlButtonItem> ZV_Player::makeImageItem(
    const char* image, int tag, void (ZV_Player::*action)())
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    SJEdgeControlButtonItem::Action run;
    if (action) {
        run = [weak, action](SJEdgeControlButtonItem&) {
            if (auto self = weak.lock())
                ((*self).*action)();
        };
    }
    return SJEdgeControlButtonItem::initWithImage(
        UIImage::named(image).value_or(UIImage()), std::move(run), tag);
}

std::shared_ptr<SJEdgeControlButtonItem> ZV_Player::makeTitleItem(
    const std::string& title, int tag, void (ZV_Player::*action)())
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    return SJEdgeControlButtonItem::initWithTitle(
        NSAttributedString(title, itemAttributes()),
        [weak, action](SJEdgeControlButtonItem&) {
            if (auto self = weak.lock())
                ((*self).*action)();
        },
        tag);
}

const std::shared_ptr<SJVideoPlayer>& ZV_Player::player()
{
    if (!m_player)
        m_player = makeVideoPlayer();
    return m_player;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_emptyItem()
{
    if (!m_emptyItem)
        m_emptyItem = SJEdgeControlButtonItem::placeholderFillingWidth(emptyTag);
    return m_emptyItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_zoomoutItem()
{
    if (!m_zoomoutItem) {
        m_zoomoutItem = makeImageItem("zoomout", zoomoutTag, &ZV_Player::toggleVideoGravity);
        m_zoomoutItem->setInsets(SJEdgeInsetsMake(0, 12));
        m_zoomoutItem->setHidden(true);
    }
    return m_zoomoutItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_airPlayItem()
{
    if (!m_airPlayItem) {
        auto picker = std::make_shared<AVRoutePickerView>(CGRect { 0, 0, 18, 18 });
        picker->setPrioritizesVideoDevices(true);
        picker->setTintColor(UIColor::white());
        m_airPlayItem = SJEdgeControlButtonItem::initWithCustomView(picker, airPlayTag);
        m_airPlayItem->setInsets(SJEdgeInsetsMake(12, 12));
    }
    return m_airPlayItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_settingItem()
{
    if (!m_settingItem) {
        m_settingItem = makeImageItem("Setting", settingTag, &ZV_Player::showSettings);
        m_settingItem->setInsets(SJEdgeInsetsMake(12, 0));
    }
    return m_settingItem;
}

const std::shared_ptr<SJEdgeControlButtonItemAdapter>& ZV_Player::zv_bottomAdapter()
{
    if (!m_bottomAdapter) {
        m_bottomAdapter
            = std::make_shared<SJEdgeControlButtonItemAdapter>(CGRect {}, SJAdapterLayoutType::horizontal);
        m_bottomAdapter->addItemsFromArray({ zv_playItem(), zv_goforwardItem(), zv_emptyItem(),
            zv_sourceItem(), zv_multipleItem(), zv_selectItem() });
        m_bottomAdapter->setHidden(true);
    }
    return m_bottomAdapter;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_playItem()
{
    if (!m_playItem)
        m_playItem = makeImageItem("player_pause", playTag, &ZV_Player::togglePlay);
    return m_playItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_goforwardItem()
{
    if (!m_goforwardItem) {
        m_goforwardItem = makeImageItem("goforward", goforwardTag, &ZV_Player::playNextEpisode);
        m_goforwardItem->setHidden(true);
    }
    return m_goforwardItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_sourceItem()
{
    if (!m_sourceItem) {
        m_sourceItem = makeTitleItem("换源", sourceTag, &ZV_Player::clickSourceItem);
        m_sourceItem->setInsets(SJEdgeInsetsMake(12, 12));
    }
    return m_sourceItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_multipleItem()
{
    if (!m_multipleItem) {
        m_multipleItem = makeTitleItem("1.0X", multipleTag, &ZV_Player::showRatePicker);
        m_multipleItem->setInsets(SJEdgeInsetsMake(12, 12));
    }
    return m_multipleItem;
}

const std::shared_ptr<SJEdgeControlButtonItem>& ZV_Player::zv_selectItem()
{
    if (!m_selectItem) {
        m_selectItem = makeTitleItem("选集", selectTag, &ZV_Player::clickSelectItem);
        m_selectItem->setInsets(SJEdgeInsetsMake(12, 0));
    }
    return m_selectItem;
}

const std::shared_ptr<UIView>& ZV_Player::zv_airPlayView()
{
    if (!m_airPlayView) {
        m_airPlayView = std::make_shared<UIView>();
        m_airPlayView->setHidden(true);
    }
    return m_airPlayView;
}

const std::shared_ptr<ZV_PlayerErrorView>& ZV_Player::zv_errorView()
{
    if (!m_errorView)
        m_errorView = ZV_PlayerErrorView::make();
    return m_errorView;
}

const std::shared_ptr<ZV_LoadingView>& ZV_Player::zv_loadingView()
{
    if (!m_loadingView)
        m_loadingView = ZV_LoadingView::make();
    return m_loadingView;
}

std::shared_ptr<ZV_PlayerADView> ZV_Player::pauseAdvert() const
{
    auto advert = m_pauseAdvert.lock();
    return advert && advert->isVisible() ? advert : nullptr;
}

// ---- Set-up ----

std::shared_ptr<SJVideoPlayer> ZV_Player::makeVideoPlayer()
{
    auto player = SJVideoPlayer::player();
    player->setPausedInBackground(true);
    player->setRateWhenLongPressGestureTriggered(2.0);
    player->controlLayerAppearManager().setInterval(5.0);

    SJPromptingPopupController& prompts = player->promptingPopupController();
    prompts.setLeftMargin(8);
    prompts.setBottomMargin(8);
    prompts.setContentInset({ 4, 10, 4, 10 });

    const std::shared_ptr<SJEdgeControlLayer>& edge = player->defaultEdgeControlLayer();
    edge->setFixesBackItem(false);
    edge->setShowsMoreItem(false);
    edge->setHiddenBottomProgressIndicator(true);
    edge->setHiddenTitleItemWhenOrientationIsPortrait(true);
    player->setDelayInSecondsForHiddenPlaceholderImageView(0);
    edge->setAutomaticallyPerformRotationOrFitOnScreen(true);

    // Held down, the picture plays at the long-press rate. (Picture in picture does not exist on
    // this device.)
    player->gestureController().supportedGestureTypes |= SJPlayerGestureTypeMask_LongPress;

    edge->topAdapter()->addItemsFromArray({ zv_zoomoutItem(), zv_airPlayItem(), zv_settingItem() });
    edge->bottomAdapter()->removeItemForTag(SJEdgeControlLayerBottomItem_Separator);
    edge->bottomAdapter()->exchangeItemForTag(
        SJEdgeControlLayerBottomItem_Progress, SJEdgeControlLayerBottomItem_DurationTime);
    edge->bottomContainerView()->addSubview(zv_bottomAdapter());
    return player;
}

void ZV_Player::configureResources()
{
    SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    resources.progressBufferColor = UIColor::white().withAlphaComponent(0.5);
    resources.progressTrackColor = colorWithHex("#0D0747", 0.2);
    resources.progressTraceColor = colorWithHex("03FFE1");
    resources.progressThumbColor = UIColor::white();
    resources.progressTrackHeight = 4;
    resources.progressThumbSize = 16;
    resources.bottomIndicatorTrackColor = colorWithHex("#0D0747", 0.2);
    resources.bottomIndicatorTraceColor = colorWithHex("03FFE1");
    resources.bottomIndicatorHeight = 2;
    resources.backImage = UIImage::named("playerback");
    resources.lockImage = UIImage::named("playerlock");
    resources.playImage = UIImage::named("player_play");
    resources.pauseImage = UIImage::named("player_pause");
    resources.unlockImage = UIImage::named("playerunlock");
    resources.fullscreenImage = UIImage::named("fullscreen");
    resources.timeLabelFont = UIFont::systemFont(12, UIFont::Weight::medium);
    resources.timeLabelColor = UIColor::white();
}

void ZV_Player::setupUI()
{
    addSubview(player()->view());
    snp(player()->view()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    setupPlayer();
    setupErrorView();
    updateBottomItems(false);
    player()->defaultEdgeControlLayer()->bottomAdapter()->reload();
}

void ZV_Player::setupPlayer()
{
    configureResources();
    // A cached asset is known by its whole address, query included.
    SJMediaCacheServer::shared().setResolveAssetIdentifier([](const std::string& url) { return url; });

    const std::shared_ptr<SJEdgeControlLayer>& edge = player()->defaultEdgeControlLayer();
    std::weak_ptr<SJEdgeControlButtonItemAdapter> row = edge->bottomAdapter();
    snp(zv_bottomAdapter()).makeConstraints([row](ConstraintMaker& make) {
        if (auto framework = row.lock()) {
            make.left().right().bottom().equalTo(snp(framework));
            make.height().equalTo(portraitBottomHeight);
        }
    });
    setupAirPlay();
    setupRotationObserver();
    setupFinishedHandler();
    setupTimeHandler();
    setupStatusHandler();
    setupAssetStatusHandler();
}

void ZV_Player::setupAirPlay()
{
    const std::shared_ptr<UIView>& cover = zv_airPlayView();
    cover->setBackgroundColor(UIColor::black());
    auto symbol = std::make_shared<UIImageView>(UIImage::named("play.tv"));
    symbol->setContentMode(UIViewContentMode::scaleAspectFill);
    symbol->setTintColor(UIColor::white());
    auto label = std::make_shared<UILabel>();
    label->setText("AirPlay 投放中");
    label->setFont(UIFont::systemFont(14));
    label->setTextColor(UIColor::white());
    cover->addSubview(symbol);
    cover->addSubview(label);
    snp(symbol).makeConstraints([](ConstraintMaker& make) {
        make.size().equalTo(CGSize { 100, 100 });
        make.center().equalToSuperview();
    });
    snp(label).makeConstraints([symbol](ConstraintMaker& make) {
        make.top().equalTo(snp(symbol).bottom()).offset(15);
        make.centerX().equalTo(snp(symbol));
    });
    player()->defaultEdgeControlLayer()->insertSubview(cover, 0);
    snp(cover).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_Player::setupErrorView()
{
    player()->defaultLoadFailedControlLayer()->addSubview(zv_errorView());
    snp(zv_errorView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    player()->defaultEdgeControlLayer()->addSubview(zv_loadingView());
    snp(zv_loadingView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });

    std::weak_ptr<ZV_Player> weak = weakSelf();
    auto on = [weak](void (ZV_Player::*action)()) {
        return [weak, action](UIControl&) {
            if (auto self = weak.lock())
                ((*self).*action)();
        };
    };
    zv_errorView()->refreshBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_Player::clickRefresh));
    zv_errorView()->backBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_Player::goBack));
    zv_loadingView()->backBtn()->addAction(UIControlEventTouchUpInside, on(&ZV_Player::goBack));
}

void ZV_Player::setupRotationObserver()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    player()->rotationObserver().onTransitioningChanged = [weak](SJRotationManager&, bool isTransitioning) {
        if (auto self = weak.lock())
            self->rotationDidChange(isTransitioning);
    };
}

void ZV_Player::setupFinishedHandler()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    player()->playbackObserver().setPlaybackDidFinishExeBlock([weak](SJBaseVideoPlayer&) {
        if (auto self = weak.lock())
            self->playbackDidFinish();
    });
}

void ZV_Player::setupTimeHandler()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    player()->playbackObserver().setCurrentTimeDidChangeExeBlock([weak](SJBaseVideoPlayer&) {
        if (auto self = weak.lock())
            self->currentTimeDidChange();
    });
}

void ZV_Player::setupStatusHandler()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    player()->playbackObserver().setPlaybackStatusDidChangeExeBlock([weak](SJBaseVideoPlayer&) {
        if (auto self = weak.lock())
            self->playbackStatusDidChange();
    });
}

void ZV_Player::setupAssetStatusHandler()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    player()->playbackObserver().setAssetStatusDidChangeExeBlock([weak](SJBaseVideoPlayer&) {
        if (auto self = weak.lock())
            self->assetStatusDidChange();
    });
}

// ---- Full screen ----

void ZV_Player::rotationDidChange(bool isTransitioning)
{
    ZV_ShowRightFullView::hideAllVisibleModalPresentationViewControllerIfCan();
    if (!isTransitioning)
        return;
    bool fullscreen = player()->isFullscreen();
    if (fullscreen && isFull)
        return;
    isFull = fullscreen;
    updateTopItems(fullscreen);
    updateBottomItems(fullscreen);
    player()->defaultEdgeControlLayer()->topAdapter()->reload();
    player()->defaultEdgeControlLayer()->bottomAdapter()->reload();
}

void ZV_Player::updateTopItems(bool fullscreen)
{
    if (auto item = player()->defaultEdgeControlLayer()->topAdapter()->itemForTag(zoomoutTag))
        item->setHidden(!fullscreen);
}

void ZV_Player::updateBottomItems(bool fullscreen)
{
    const std::shared_ptr<SJEdgeControlLayer>& edge = player()->defaultEdgeControlLayer();
    edge->setBottomHeight(fullscreen ? fullscreenBottomHeight : portraitBottomHeight);
    for (int tag : { SJEdgeControlLayerBottomItem_Full, SJEdgeControlLayerBottomItem_Play }) {
        if (auto item = edge->bottomAdapter()->itemForTag(tag))
            item->setHidden(fullscreen);
    }
    for (const auto& item : { zv_selectItem(), zv_sourceItem(), zv_multipleItem(), zv_goforwardItem() })
        item->setHidden(!fullscreen);
    zv_bottomAdapter()->setHidden(!fullscreen);
    // A rate chosen in portrait reads right in full screen.
    if (fullscreen)
        zv_multipleItem()->setTitle(NSAttributedString(rateTitle(player()->rate()), itemAttributes()));
}

// ---- Episode playback ----

bool ZV_Player::matches(
    const ZV_DetailDataListPlayFromListModel& entry, const std::optional<std::string>& episodeId)
{
    return entry.episodeId == episodeId;
}

std::optional<std::size_t> ZV_Player::nextEpisodeIndex(
    const Episodes& list, const std::optional<std::string>& episodeId)
{
    std::size_t next = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] && matches(*list[i], episodeId))
            next = i + 1;
    }
    return next < list.size() ? std::optional(next) : std::nullopt;
}

void ZV_Player::showLoading()
{
    ++m_loadingShows;
    zv_loadingView()->setAlpha(1);
    zv_loadingView()->setHidden(false);
}

void ZV_Player::playEpisode()
{
    if (!model)
        return;
    ++m_playGeneration;
    zv_timeModel = model->id ? ZV_PlayerTimeModel::find(*model->id) : std::nullopt;

    if (isOffline) {
        loadLocalPlaybackRecord();
        if (!episodeList)
            return;
        for (const auto& entry : *episodeList) {
            if (!entry || !matches(*entry, episodeId))
                continue;
            episodeName = entry->episodeName;
            playAsset(entry->playUrl.value_or(""), entry);
            showLoading();
            return;
        }
        return;
    }

    std::shared_ptr<ZV_DetailDataListPlayFromListModel> found;
    if (model->playFrom) {
        for (const auto& source : *model->playFrom) {
            if (!source || !source->list || source->list->empty())
                continue;
            episodeList = *source->list;
            for (const auto& entry : *episodeList) {
                if (entry && matches(*entry, episodeId)) {
                    found = entry;
                    break;
                }
            }
            break;
        }
    }
    if (found) {
        episodeName = found->episodeName;
        if (found->readyToPlay.value_or(false))
            playAsset(found->playUrl.value_or(""), found);
        else
            parsePlayAddress(found);
        showLoading();
    }
    if (auto replay = player()->defaultEdgeControlLayer()->centerAdapter()->itemForTag(
            SJEdgeControlLayerCenterItem_Replay))
        replay->setAlpha(0);
}

void ZV_Player::parsePlayAddress(const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& entry)
{
    if (!entry)
        return;
    JSON parameters = JSON::object();
    if (entry->playUrl)
        parameters.set("play_url", *entry->playUrl);
    if (entry->fromCode)
        parameters.set("from_code", *entry->fromCode);
    if (isRefresh)
        parameters.set("refresh", "1");

    std::weak_ptr<ZV_Player> weak = weakSelf();
    std::uint64_t generation = m_playGeneration;
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie_addr/parse", parameters,
        [weak, generation, entry](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            // Gone, or the viewer has moved to another episode since: this address is not wanted.
            if (!self || generation != self->m_playGeneration)
                return;
            if (json)
                return self->playAsset((*json)["url"].stringValue(), entry);
            // Nothing resolved: an address where nothing answers brings up the error layer.
            self->playAsset(Bundle::main().infoString(InfoKey::UnresolvedPlayURL).value_or(""), entry);
        });
}

AVURLAsset::HeaderFields ZV_Player::headerFields(const ZV_DetailDataListPlayFromListModel& entry)
{
    AVURLAsset::HeaderFields fields;
    if (entry.userAgent && !entry.userAgent->empty())
        fields["User-Agent"] = *entry.userAgent;
    // Without a User-Agent no field is sent at all, the episode's own included.
    if (fields.empty() || !entry.headers)
        return fields;
    for (const auto& dictionary : *entry.headers) {
        for (const auto& [name, value] : dictionary)
            fields[name] = value.stringValue();
    }
    return fields;
}

std::string ZV_Player::rateTitle(double rate)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rate);
    std::string value = text;
    if (value.size() > 3 && value.back() == '0')
        value.pop_back();
    return value + "X";
}

bool ZV_Player::isM3u8Address(const std::string& address)
{
    std::string path = address.substr(0, address.find_first_of("?#"));
    std::size_t scheme = path.find("://");
    std::size_t start = scheme == std::string::npos ? 0 : path.find('/', scheme + 3);
    if (start == std::string::npos)
        return false;
    std::string last = path.substr(path.rfind('/') + 1);
    std::size_t dot = last.rfind('.');
    return dot != std::string::npos && dot > 0 && last.substr(dot + 1).find("m3u8") != std::string::npos;
}

void ZV_Player::playAsset(
    const std::string& address, const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& entry)
{
    if (!entry || address.empty() || !parsesAsURL(address))
        return;
    isSeek = false;
    isSeekEnd = false;
    isSeekTime = false;
    episodeModel = entry;

    if (episodeList && !episodeList->empty()) {
        const auto& last = episodeList->back();
        zv_goforwardItem()->setHidden(last && matches(*last, episodeId));
        zv_bottomAdapter()->reload();
    }

    AVURLAsset::HeaderFields fields = headerFields(*entry);
    AVURLAsset::Options options;
    if (!fields.empty())
        options[AVURLAssetHTTPHeaderFieldsKey] = fields;
    std::shared_ptr<AVURLAsset> avAsset = AVURLAsset::URLAssetWithURL(address, options);

    if (isOffline && model && model->id) {
        auto record = ZV_DownLoadModel::findEpisode(*model->id, entry->episodeId.value_or(""));
        if (record && *record && (*record)->state == ZV_DownLoadModel::stateFinish
            && parsesAsURL((*record)->url)) {
            ZV_DownLoadModel download = **record;
            if (download.watching == ZV_DownLoadModel::watchingNo) {
                download.watching = ZV_DownLoadModel::watchingYes;
                if (ASStatus written = download.update(); !written)
                    Log::write("ZV_Player: download not marked as watched: " + written.error());
            }
            SJMediaCacheServer::shared().setActive(true);
            std::string local = SJMediaCacheServer::shared().playbackURLWithURL(download.url);
            if (!local.empty())
                avAsset = AVURLAsset::URLAssetWithURL(local, options);
        }
    }

    std::shared_ptr<SJVideoPlayerURLAsset> asset = SJVideoPlayerURLAsset::initWithAVAsset(avAsset);
    if (!asset)
        return;
    // The media cache's proxy takes the address alone; every other server, loopback ones
    // included, gets the episode's fields.
    if (SJMediaCacheServer::shared().isProxyURL(asset->URL())) {
        asset = SJVideoPlayerURLAsset::initWithURL(asset->URL());
        if (!asset)
            return;
    }
    if (isM3u8Address(asset->URL()))
        asset->setIsM3u8(true);
    asset->setTitle((model ? model->name.value_or("") : std::string()) + " " + episodeName.value_or(""));
    if (isOffline) {
        makePlaybackRecord();
        asset->setRecord(zv_record);
    }
    restoreErrorMessage();
    player()->setURLAsset(asset);
    player()->promptingPopupController().clear();

    if (!zv_timeModel) {
        std::weak_ptr<ZV_Player> weak = weakSelf();
        showPrompt(promptText({ { "设置", true }, { "开启跳过片头片尾", false } }), std::nullopt, [weak] {
            if (auto self = weak.lock())
                self->showSettings();
        });
    }
}

void ZV_Player::showPrompt(
    const NSAttributedString& text, std::optional<double> duration, std::function<void()> tap)
{
    SJPromptingPopupController& prompts = player()->promptingPopupController();
    if (duration)
        prompts.show(text, *duration);
    else
        prompts.show(text);
    if (tap && !prompts.displayingViews().empty()) {
        addTapAction(
            *prompts.displayingViews().back(), [tap = std::move(tap)](UITapGestureRecognizer&) { tap(); });
    }
}

void ZV_Player::clickRefresh()
{
    isRefresh = true;
    playEpisode();
}

void ZV_Player::showErrorMessage(const std::string& text)
{
    const std::shared_ptr<UILabel>& title = zv_errorView()->title();
    if (!m_replacedErrorMessage)
        m_replacedErrorMessage = title->text();
    title->setText(text);
}

void ZV_Player::restoreErrorMessage()
{
    if (auto replaced = std::exchange(m_replacedErrorMessage, std::nullopt))
        zv_errorView()->title()->setText(*replaced);
}

void ZV_Player::assetStatusDidChange()
{
    // The layer says why this episode does not play.
    if (player()->assetFailure() == SJAssetFailure::insecureRedirect)
        return showErrorMessage(insecureRedirectText);
    if (player()->assetStatus() != SJAssetStatus::readyToPlay)
        return;
    std::weak_ptr<UIView> loading = zv_loadingView();
    std::weak_ptr<ZV_Player> weak = weakSelf();
    std::uint64_t shows = m_loadingShows;
    UIView::animate(
        0.3,
        [loading] {
            if (auto view = loading.lock())
                view->setAlpha(0);
        },
        [loading, weak, shows](bool) {
            auto view = loading.lock();
            auto self = weak.lock();
            // A new episode that brought the layer back meanwhile keeps it.
            if (!view || !self || self->m_loadingShows != shows)
                return;
            view->setHidden(true);
            view->setAlpha(1);
        });
}

// ---- Resume, skips, next episode ----

void ZV_Player::updatePauseAdvert(bool paused)
{
    bool becamePaused = paused && !m_wasPaused;
    m_wasPaused = paused;
    if (!paused) {
        // Playback goes on: the advert goes.
        if (auto advert = pauseAdvert())
            advert->hideWithAnimated(true);
        return;
    }
    // The player also reports paused for a new asset, a failure and the end of playback: only
    // the viewer's own pause brings the advert.
    if (!becamePaused || !player()->isUserPaused() || pauseAdvert() || !player()->isFullscreen())
        return;
    std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
    if (!config || config->player_pause.data.image.empty())
        return;
    auto advert = std::make_shared<ZV_PlayerADView>();
    advert->showWithAnimated(true);
    m_pauseAdvert = advert;
}

void ZV_Player::playbackStatusDidChange()
{
    const std::shared_ptr<SJVideoPlayer>& player = this->player();
    SJPlaybackTimeControlStatus status = player->timeControlStatus();
    bool paused = player->isPaused();
    bool playing = status == SJPlaybackTimeControlStatus::playing;

    zv_playItem()->setImage(UIImage::named(paused ? "player_play" : "player_pause"));
    zv_bottomAdapter()->reload();

    // Waiting for data counts as neither paused nor resumed.
    if (status != SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate)
        updatePauseAdvert(paused);

    std::shared_ptr<ZV_DetailDataListLastPlaybackModel> last = model ? model->lastPlayback : nullptr;
    bool sameEpisode = last && episodeModel && episodeModel->episodeId == last->episode_id;

    if (playing && !isSeekTime) {
        isSeekTime = true;
        if (sameEpisode && last->current_time >= 1)
            player->seekToTime(static_cast<double>(last->current_time));
    }

    if (playing && !isSeek) {
        isSeek = true;
        auto resumePrompt = [&] {
            showPrompt(NSAttributedString(
                           "上次观看至 " + ZV_Tools::timeString(last->current_time) + " 已为你自动续播",
                           promptAttributes()),
                std::nullopt, {});
        };
        std::int64_t opening = zv_timeModel ? zv_timeModel->startProgress : 0;
        if (zv_timeModel && opening >= 1) {
            if (sameEpisode && last->current_time >= opening) {
                resumePrompt();
            } else {
                player->seekToTime(static_cast<double>(opening));
                showPrompt(NSAttributedString("已为你跳过片头", promptAttributes()), std::nullopt, {});
            }
        } else if (sameEpisode && last->current_time >= 1) {
            player->seekToTime(static_cast<double>(last->current_time));
            resumePrompt();
        }
    }

    if ((playing || status == SJPlaybackTimeControlStatus::paused) && waitingTime) {
        waitingTime->invalidate();
        waitingTime.reset();
    }
    SJWaitingReason reason = player->reasonForWaitingToPlay();
    if ((reason == SJWaitingToMinimizeStallsReason || reason == SJWaitingWithNoAssetToPlayReason)
        && !waitingTime) {
        std::weak_ptr<ZV_Player> weak = weakSelf();
        // The fired timer stays until the next playing or paused status: one hint per wait.
        waitingTime = Timer::scheduledTimer(slowLoadSeconds, false, [weak](Timer&) {
            if (auto self = weak.lock())
                self->showSlowLoadHint();
        });
    }
}

void ZV_Player::showSlowLoadHint()
{
    NSAttributes attributes;
    attributes.font = UIFont::systemFont(14);
    attributes.foregroundColor = UIColor::white();
    NSParagraphStyle paragraph;
    paragraph.alignment = NSTextAlignment::center;
    attributes.paragraphStyle = paragraph;
    player()->textPopupController().show(
        NSAttributedString("视频加载缓慢，可以点击下方切换按钮选择其他视频源", attributes),
        slowLoadHintSeconds);
}

bool ZV_Player::moveToNextEpisode()
{
    if (!episodeList)
        return false;
    std::optional<std::size_t> next = nextEpisodeIndex(*episodeList, episodeId);
    if (!next)
        return false;
    episodeId = (*episodeList)[*next] ? (*episodeList)[*next]->episodeId : std::nullopt;
    playEpisode();
    return true;
}

void ZV_Player::tellOwner()
{
    if (auto owner = clickIndexWithEpisodeId)
        owner(episodeId.value_or(""));
}

void ZV_Player::currentTimeDidChange()
{
    const std::shared_ptr<SJVideoPlayer>& player = this->player();
    if (player->playbackController()) {
        bool external = player->isExternalPlaybackActive();
        zv_airPlayView()->setHidden(!external);
        player->setPausedInBackground(!external);
    }

    if (!zv_timeModel || player->duration() == 0 || zv_timeModel->endProgress == 0)
        return;
    double remaining
        = player->duration() - player->currentTime() - static_cast<double>(zv_timeModel->endProgress);
    if (remaining <= endingWarningSeconds && !isSeekEnd) {
        isSeekEnd = true;
        isClearEnd = false;
        std::weak_ptr<ZV_Player> weak = weakSelf();
        showPrompt(promptText({ { "10s后为您跳过片尾 ", false }, { "[取消]", true } }), endingWarningSeconds,
            [weak] {
                auto self = weak.lock();
                if (!self)
                    return;
                self->player()->promptingPopupController().clear();
                self->isClearEnd = true;
            });
    }
    if (remaining <= 0 && !isClearEnd) {
        isClearEnd = true;
        moveToNextEpisode();
        tellOwner();
        this->player()->promptingPopupController().clear();
    }
}

void ZV_Player::playbackDidFinish()
{
    if (moveToNextEpisode())
        return tellOwner();
    if (auto replay = player()->defaultEdgeControlLayer()->centerAdapter()->itemForTag(
            SJEdgeControlLayerCenterItem_Replay))
        replay->setAlpha(1);
}

void ZV_Player::playNextEpisode()
{
    moveToNextEpisode();
    tellOwner();
}

void ZV_Player::togglePlay()
{
    if (player()->isPaused())
        player()->play();
    else
        player()->pauseForUser();
}

// ---- Offline history ----

void ZV_Player::makePlaybackRecord()
{
    if (!model)
        return;
    SJPlaybackMediaId mediaId { model->id.value_or(""), episodeId.value_or("") };
    std::shared_ptr<SJPlaybackRecord> record
        = SJPlaybackHistoryController::shared().recordForMedia(mediaId, 0, SJMediaTypeVideo);
    if (!record) {
        record = std::make_shared<SJPlaybackRecord>(mediaId, SJMediaTypeVideo, 0);
        SJExtended::set(*record, SJExtended::vodId, model->id);
        SJExtended::set(*record, SJExtended::cover, model->cover);
        SJExtended::set(*record, SJExtended::title, model->name);
        SJExtended::set(*record, SJExtended::episode, episodeId);
        SJExtended::set(*record, SJExtended::duration, "0");
    }
    zv_record = record;
    SJPlaybackRecordSaveHandler::shared().setEventMask(SJPlaybackRecordSaveEventAll);
}

void ZV_Player::loadLocalPlaybackRecord()
{
    if (!model)
        return;
    SJPlaybackMediaId mediaId { model->id.value_or(""), episodeId.value_or("") };
    std::shared_ptr<SJPlaybackRecord> record
        = SJPlaybackHistoryController::shared().recordForMedia(mediaId, 0, SJMediaTypeVideo);
    if (!record)
        return;
    auto last = std::make_shared<ZV_DetailDataListLastPlaybackModel>();
    last->episode_id = SJExtended::get(*record, SJExtended::episode).value_or("");
    last->duration = leadingInteger(SJExtended::get(*record, SJExtended::duration));
    last->current_time = std::isfinite(record->position) && record->position > 0
        ? static_cast<std::int64_t>(record->position)
        : 0;
    model->lastPlayback = last;
}

// ---- Panels ----

void ZV_Player::showRatePicker()
{
    auto panel = std::make_shared<ZV_ShowRightFullView>();
    std::weak_ptr<ZV_Player> weak = weakSelf();
    panel->clickMultiple = [weak](int index) {
        if (auto self = weak.lock())
            self->rateDidChange(index);
    };
    panel->show(3, nullptr, player());
}

void ZV_Player::rateDidChange(int index)
{
    zv_multipleItem()->setTitle(
        NSAttributedString(rateTitle(ZV_MultipleContentFullView::rateAt(index)), itemAttributes()));
    zv_bottomAdapter()->reload();
}

void ZV_Player::toggleVideoGravity()
{
    bool filled = player()->videoGravity() == AVLayerVideoGravity::resizeAspectFill;
    player()->setVideoGravity(
        filled ? AVLayerVideoGravity::resizeAspect : AVLayerVideoGravity::resizeAspectFill);
}

void ZV_Player::showSettings()
{
    std::weak_ptr<ZV_Player> weak = weakSelf();
    auto reload = [weak] {
        if (auto self = weak.lock())
            self->reloadTimeModel();
    };
    if (player()->isFullscreen()) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        panel->clickClose = reload;
        panel->show(2, model, player());
    } else {
        auto panel = std::make_shared<ZV_ShowBottomView>();
        panel->clickClose = reload;
        panel->show(2, model, player());
    }
}

void ZV_Player::reloadTimeModel()
{
    zv_timeModel = model && model->id ? ZV_PlayerTimeModel::find(*model->id) : std::nullopt;
}

void ZV_Player::goBack()
{
    if (player()->isFullscreen())
        return player()->rotationManager().rotate();
    if (std::shared_ptr<UINavigationController> navigation = ZV_Tools::getCurrentVC()->navigationController())
        navigation->popViewController(true);
}
