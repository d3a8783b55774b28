#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/LogText.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Cell/ZV_PlayerAdsCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerFeaturesCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerRelevantCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUITableView.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool hasEpisodes(const ZV_DetailDataListPlayFromModel& source)
{
    return source.list && !source.list->empty();
}

// Whole seconds of a position, 0 for one that is no number.
std::int64_t wholeSeconds(double seconds)
{
    return std::isfinite(seconds) ? static_cast<std::int64_t>(seconds) : 0;
}

}

ZV_DetailVC::ZV_DetailVC() = default;

ZV_DetailVC::~ZV_DetailVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

std::weak_ptr<ZV_DetailVC> ZV_DetailVC::weakSelf()
{
    return std::static_pointer_cast<ZV_DetailVC>(weakFromThis().lock());
}

// ---- Parts ----

const std::shared_ptr<UIView>& ZV_DetailVC::zv_topView()
{
    if (!m_topView) {
        m_topView = UIView::create();
        m_topView->setBackgroundColor(UIColor::black());
    }
    return m_topView;
}

const std::shared_ptr<ZV_Player>& ZV_DetailVC::zv_playerView()
{
    if (!m_playerView) {
        m_playerView = UIView::create<ZV_Player>();
        m_playerView->setupUI();
        std::weak_ptr<ZV_DetailVC> weak = weakSelf();
        m_playerView->clickIndexWithEpisodeId = [weak](const std::string& episodeId) {
            if (auto self = weak.lock())
                self->syncCurrentEpisode(episodeId);
        };
    }
    return m_playerView;
}

const std::shared_ptr<QMUITableView>& ZV_DetailVC::zv_tableView()
{
    if (!m_tableView) {
        m_tableView = UIView::create<QMUITableView>(CGRect {}, UITableViewStyle::plain);
        m_tableView->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
        m_tableView->setBackgroundColor(UIColor::systemBackground());
        m_tableView->setAccessibilityIdentifier("detail.table");
        auto self = std::static_pointer_cast<ZV_DetailVC>(sharedFromThis());
        m_tableView->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
        m_tableView->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
        registerCell<ZV_PlayerFeaturesCell>(*m_tableView);
        registerCell<ZV_PlayerRelevantCell>(*m_tableView);
        registerCell<ZV_PlayerSelectCell>(*m_tableView);
        registerCell<ZV_PlayerInfoCell>(*m_tableView);
        registerCell<ZV_PlayerAdsCell>(*m_tableView);
    }
    return m_tableView;
}

// ---- Screen ----

void ZV_DetailVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    loadDetail();
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    NotificationCenter::defaultCenter().addObserver(
        UIApplicationNotification::WillResignActive,
        [weak](const Notification&) {
            if (auto self = weak.lock())
                self->zv_playbackRecord();
        },
        this);
}

void ZV_DetailVC::viewDidAppear(bool animated)
{
    BaseViewController::viewDidAppear(animated);
    zv_playerView()->player()->vc_viewDidAppear();
}

void ZV_DetailVC::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    zv_playerView()->player()->vc_viewWillDisappear();
    zv_playerView()->player()->pause();
    reportPlayback();
}

void ZV_DetailVC::viewDidDisappear(bool animated)
{
    BaseViewController::viewDidDisappear(animated);
    zv_playerView()->player()->vc_viewDidDisappear();
}

void ZV_DetailVC::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::systemBackground());
    root->addSubview(zv_topView());
    root->addSubview(zv_playerView());
    root->addSubview(zv_tableView());

    snp(zv_playerView()).makeConstraints([&](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.height().equalTo(screenShortSide() * 9 / 16);
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
    });
    snp(zv_topView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.bottom().equalTo(snp(zv_playerView()).top());
    });
    snp(zv_tableView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_playerView()).bottom());
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
    });

    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    auto run = [weak](void (ZV_DetailVC::*action)()) {
        return SJEdgeControlButtonItemAction::actionWithHandler(
            [weak, action](SJEdgeControlButtonItemAction&) {
                if (auto self = weak.lock())
                    ((*self).*action)();
            });
    };
    zv_playerView()->zv_sourceItem()->addAction(run(&ZV_DetailVC::showSourcePicker));
    zv_playerView()->zv_selectItem()->addAction(run(&ZV_DetailVC::showEpisodePicker));
    zv_playerView()->zv_errorView()->changeBtn()->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock())
            self->zv_clickSource();
    });
}

// ---- Loading ----

void ZV_DetailVC::loadDetail()
{
    // Taps on the retry while a request is out would only send more of the same.
    if (m_detailLoading)
        return;
    m_detailLoading = true;
    showPlayerWaiting(true);
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/detail",
        JSON::object({ { "id", vod_id } }), [weak](std::optional<JSON> json, std::optional<NSError> error) {
            auto self = weak.lock();
            if (!self)
                return;
            self->m_detailLoading = false;
            if (!json || !self->applyDetail(*json)) {
                self->showLoadFailure(error);
                return;
            }
            if (self->isEmptyViewShowing())
                self->showEmptyView(false, emptyKindNothing);
        });
}

void ZV_DetailVC::showLoadFailure(const std::optional<NSError>& error)
{
    std::string reason = error ? logText(error->domain) + " (" + std::to_string(error->code) + ")"
                               : std::string("the reply is no title");
    Log::write("ZV_DetailVC: title " + logText(vod_id) + " not loaded: " + reason);
    // The player's cover keeps its back button but no longer says that playback is about to start.
    showPlayerWaiting(false);
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    showEmptyView(true, emptyKindLoadFailed, {}, [weak] {
        if (auto self = weak.lock())
            self->loadDetail();
    });
}

void ZV_DetailVC::showPlayerWaiting(bool waiting)
{
    const std::shared_ptr<ZV_LoadingView>& cover = zv_playerView()->zv_loadingView();
    cover->loadingView()->setHidden(!waiting);
    cover->loadingName()->setHidden(!waiting);
}

bool ZV_DetailVC::layoutEmptyView()
{
    if (!isEmptyViewShowing())
        return false;
    const std::shared_ptr<UIView>& root = view();
    CGRect bounds = root->bounds();
    CGFloat top = std::min(zv_playerView()->frame().maxY(), bounds.maxY());
    emptyView()->setFrame({ bounds.minX(), top, bounds.size.width, bounds.maxY() - top });
    emptyView()->layoutIfNeeded();
    return true;
}

bool ZV_DetailVC::applyDetail(const JSON& json)
{
    // A reply that is no title (a message text, an empty object) changes nothing.
    if (json.type() != JSON::Type::Object || json.isEmpty())
        return false;
    model = std::make_shared<ZV_DetailModel>(json);
    updatePlayerInfoCellHeight();
    chooseStartEpisode();
    zv_tableView()->reloadData();
    if (!episode_id)
        episode_id = startEpisode(*model);
    zv_playerView()->episodeId = episode_id;
    zv_playerView()->model = model;
    zv_playerView()->playEpisode();
    // Sources whose lists are all empty leave as little to play as no sources at all: without
    // this the cover would wait for an episode that never starts.
    if (!sourceInUse(*model))
        showNoSources();
    return true;
}

void ZV_DetailVC::showNoSources()
{
    Log::write("ZV_DetailVC: title " + logText(vod_id) + " has no source with episodes");
    const std::shared_ptr<ZV_PlayerErrorView>& error = zv_playerView()->zv_errorView();
    if (!m_errorTextBeforeNoSources)
        m_errorTextBeforeNoSources = error->title()->text();
    error->stackView()->setHidden(true);
    error->title()->setText(noSourcesText);
    zv_playerView()->player()->switchControlLayerForIdentifier(SJControlLayer_LoadFailed);
}

void ZV_DetailVC::leaveNoSources()
{
    // A source picked from the row below brought episodes: a later failed episode must offer
    // its refresh and change of source again.
    std::optional<std::string> text = std::exchange(m_errorTextBeforeNoSources, std::nullopt);
    if (!text)
        return;
    const std::shared_ptr<ZV_PlayerErrorView>& error = zv_playerView()->zv_errorView();
    error->stackView()->setHidden(false);
    error->title()->setText(*text);
}

void ZV_DetailVC::chooseStartEpisode()
{
    if (!model)
        return;
    if (std::optional<std::string> last = lastPlayedEpisode(*model)) {
        episode_id = last;
        zv_playerView()->episodeId = last;
    }
}

void ZV_DetailVC::updatePlayerInfoCellHeight()
{
    zv_playerInfoCellHeight = infoCellHeight(model ? model->name.value_or("") : std::string(), screenWidth());
}

// ---- Sources and episodes ----

void ZV_DetailVC::loadPlayAddresses(const std::string& code)
{
    if (!model)
        return;
    JSON parameters = JSON::object({ { "from_code", code } });
    if (model->id)
        parameters.set("movie_id", *model->id);
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie_addr/list", parameters,
        [weak, code](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (self && json)
                self->applyPlayAddresses(*json, code);
        });
}

bool ZV_DetailVC::applyPlayAddresses(const JSON& json, const std::string& code)
{
    if (!model)
        return false;
    Episodes list;
    for (const JSON& element : json.arrayValue()) {
        if (element.type() == JSON::Type::Object && !element.isEmpty())
            list.push_back(std::make_shared<ZV_DetailDataListPlayFromListModel>(element));
    }
    // An empty or unusable list would leave the title without anything to play: the current
    // source and its episodes stay.
    if (list.empty())
        return false;
    double position = zv_playerView()->player()->currentTime();
    episode_id = switchSource(*model, code, std::move(list), episode_id, position);
    leaveNoSources();
    playCurrentEpisode();
    zv_tableView()->reloadData();
    return true;
}

void ZV_DetailVC::playCurrentEpisode()
{
    zv_playerView()->episodeId = episode_id;
    zv_playerView()->playEpisode();
}

void ZV_DetailVC::showSourcePicker()
{
    if (!model)
        return;
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    auto choose = [weak](const std::string& code) {
        if (auto self = weak.lock())
            self->loadPlayAddresses(code);
    };
    const std::shared_ptr<SJVideoPlayer>& player = zv_playerView()->player();
    if (player->isFullscreen()) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        panel->clickSource = choose;
        panel->show(0, model, player);
        return;
    }
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->clickSource = choose;
    sheet->show(1, model, nullptr);
}

void ZV_DetailVC::showEpisodePicker()
{
    if (!model || !episode_id)
        return;
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    if (zv_playerView()->player()->isFullscreen()) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        panel->episodeId = *episode_id;
        panel->clickIndexWithEpisodeId = [weak](const std::string& id) {
            if (auto self = weak.lock())
                self->switchEpisode(id);
        };
        panel->show(1, model, nullptr);
        return;
    }
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->episodeId = *episode_id;
    sheet->bottom = zv_playerView()->frame().maxY();
    sheet->clickSource = [weak](const std::string&) {
        if (auto self = weak.lock())
            self->showSourcePicker();
    };
    sheet->clickIndexWithEpisodeId = [weak](const std::string& id) {
        if (auto self = weak.lock()) {
            self->switchEpisode(id);
            self->reloadSelectRow();
        }
    };
    sheet->show(3, model, nullptr);
}

void ZV_DetailVC::switchEpisode(const std::string& episodeId)
{
    episode_id = episodeId;
    playCurrentEpisode();
}

void ZV_DetailVC::syncCurrentEpisode(const std::string& episodeId)
{
    episode_id = episodeId;
    reloadSelectRow();
}

void ZV_DetailVC::reloadSelectRow()
{
    if (model)
        zv_tableView()->reloadRows({ IndexPath(selectRow, 0) }, UITableViewRowAnimation::automatic);
}

// ---- Report and favourite ----

void ZV_DetailVC::reportPlayback()
{
    const std::shared_ptr<ZV_Player>& playerView = zv_playerView();
    const std::shared_ptr<SJVideoPlayer>& player = playerView->player();
    ReportState state;
    state.signedIn = ZV_Network::isLoggedIn();
    state.hasEpisodeList = playerView->episodeList.has_value() && model != nullptr;
    state.hasEpisode = playerView->episodeModel != nullptr;
    if (state.hasEpisode) {
        state.episodeId = playerView->episodeModel->episodeId.value_or("");
        state.source = playerView->episodeModel->fromCode.value_or("");
    }
    state.lastPlayback = model ? model->lastPlayback.get() : nullptr;
    state.position = player->currentTime();
    state.duration = player->duration();
    if (!shouldReport(state))
        return;
    const ZV_DetailDataListPlayFromListModel& episode = *playerView->episodeModel;
    JSON parameters = JSON::object({ { "current_time", JSON(wholeSeconds(state.position)) },
        { "duration", JSON(wholeSeconds(state.duration)) } });
    if (model->id)
        parameters.set("movie_id", *model->id);
    if (episode.episodeId)
        parameters.set("episode_id", *episode.episodeId);
    if (episode.fromCode)
        parameters.set("movie_from", *episode.fromCode);
    // The report of a resign-active may be the app's last request before it ends: it asks for
    // the time to get its reply, whatever the reply says (the sign-in codes included).
    UIBackgroundTaskIdentifier task = UIApplication::shared().beginBackgroundTask("play report");
    ZV_Network::shared().request(
        HTTPMethod::POST, BaseURLs::main_url(), "v1/movie_play/report", parameters,
        [task](std::optional<JSON> json, std::optional<NSError> error) {
            ZV_Network::playReportCompletion(std::move(json), std::move(error));
            UIApplication::shared().endBackgroundTask(task);
        },
        ZV_Network::SignInReplies::Complete);
}

void ZV_DetailVC::toggleFavourite(const IndexPath& indexPath)
{
    if (!model)
        return;
    JSON parameters = JSON::object({ { "state", JSON(!model->isCollect.value_or(false)) } });
    if (model->id)
        parameters.set("movie_id", *model->id);
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    // The flip waits for the server: a refused request leaves the button as it is.
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::movieCollectAction,
        parameters, true, [weak, indexPath](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json || !self->model)
                return;
            self->model->isCollect = !self->model->isCollect.value_or(false);
            self->zv_tableView()->reloadRows({ indexPath }, UITableViewRowAnimation::none);
        });
}

// ---- Row actions ----

void ZV_DetailVC::showIntroSheet()
{
    if (!model)
        return;
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->bottom = zv_playerView()->frame().maxY();
    sheet->show(0, model, nullptr);
}

void ZV_DetailVC::showDownloadSheet()
{
    // The sheet marks the current episode: without one there is nothing to start from.
    if (!model || !episode_id)
        return;
    zv_playerView()->player()->pause();
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->episodeId = *episode_id;
    sheet->bottom = zv_playerView()->frame().maxY();
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    sheet->clickSource = [weak](const std::string&) {
        if (auto self = weak.lock())
            self->showSourcePicker();
    };
    sheet->show(5, model, nullptr);
}

void ZV_DetailVC::showFeedbackForm()
{
    zv_playerView()->player()->pause();
    std::make_shared<ZV_ShowBottomView>()->show(4, nullptr, nullptr);
}

void ZV_DetailVC::openAdvertLink(ZV_AdvertModel ZV_AdvertConfigModel::*placement)
{
    // Only absolute web addresses open.
    ZV_AdvertView::openLink(*this, placement);
}

// ---- Rules ----

std::shared_ptr<ZV_DetailDataListPlayFromModel> ZV_DetailVC::sourceInUse(const ZV_DetailModel& model)
{
    if (!model.playFrom)
        return nullptr;
    for (const auto& source : *model.playFrom) {
        if (source && hasEpisodes(*source))
            return source;
    }
    return nullptr;
}

bool ZV_DetailVC::hasNoPlaySources(const ZV_DetailModel& model)
{
    return model.playFrom && model.playFrom->empty();
}

std::optional<std::string> ZV_DetailVC::lastPlayedEpisode(const ZV_DetailModel& model)
{
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source = sourceInUse(model);
    if (!model.lastPlayback || !source)
        return std::nullopt;
    for (const auto& episode : *source->list) {
        if (episode && episode->episodeId == model.lastPlayback->episode_id)
            return episode->episodeId;
    }
    return std::nullopt;
}

std::optional<std::string> ZV_DetailVC::startEpisode(const ZV_DetailModel& model)
{
    if (std::optional<std::string> last = lastPlayedEpisode(model))
        return last;
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source = sourceInUse(model);
    if (!source || !source->list->front())
        return std::nullopt;
    return source->list->front()->episodeId;
}

std::optional<std::string> ZV_DetailVC::switchSource(ZV_DetailModel& model, const std::string& code,
    Episodes list, const std::optional<std::string>& currentEpisode, double position)
{
    std::optional<std::string> current = currentEpisode;
    if (!model.playFrom)
        return current;
    // Where the current episode stands; the last source that holds it decides.
    std::size_t index = 0;
    for (const auto& source : *model.playFrom) {
        if (!source || !hasEpisodes(*source))
            continue;
        for (std::size_t i = 0; i < source->list->size(); ++i) {
            const auto& episode = (*source->list)[i];
            if (episode && episode->episodeId == currentEpisode) {
                index = i;
                break;
            }
        }
    }
    for (const auto& source : *model.playFrom) {
        if (!source)
            continue;
        if (source->code && *source->code == code) {
            source->list = list;
            if (index < list.size() && list[index])
                current = list[index]->episodeId;
        } else {
            source->list.emplace();
        }
    }
    // The player resumes the new source where the old one stopped.
    if (!model.lastPlayback)
        model.lastPlayback = std::make_shared<ZV_DetailDataListLastPlaybackModel>();
    model.lastPlayback->episode_id = current.value_or("");
    model.lastPlayback->current_time = wholeSeconds(position);
    return current;
}

bool ZV_DetailVC::shouldReport(const ReportState& state)
{
    if (!state.signedIn || !state.hasEpisodeList || !state.hasEpisode)
        return false;
    if (!std::isfinite(state.position) || !std::isfinite(state.duration))
        return false;
    // The server has this position already only when it is the same second of the same episode
    // of the same source: the same second of the next episode is a new place to resume from.
    const ZV_DetailDataListLastPlaybackModel* last = state.lastPlayback;
    if (last && wholeSeconds(state.position) == last->current_time && state.episodeId == last->episode_id
        && state.source == last->movie_from)
        return false;
    return state.position >= 1.0;
}

CGFloat ZV_DetailVC::infoCellHeight(const std::string& name, CGFloat width)
{
    if (name.empty())
        return 56;
    CGSize size = TextLayout::measure(name, UIFont::systemFont(20, UIFont::Weight::medium), width - 48);
    return std::ceil(size.height + 56);
}

CGFloat ZV_DetailVC::advertRowHeight(
    const ZV_AdvertConfigModel* config, ZV_AdvertModel ZV_AdvertConfigModel::*placement, CGFloat width)
{
    if (!config || (config->*placement).data.url.empty())
        return 0;
    return (width - 48) * 122 / 342 + 20;
}

CGFloat ZV_DetailVC::relatedRowHeight(std::size_t count, CGFloat width, bool isPad)
{
    std::size_t columns = isPad ? 5 : 3;
    CGFloat item = std::floor((width - (isPad ? 112 : 80)) / static_cast<CGFloat>(columns));
    // Every started row of the grid counts: one or two titles still fill a row.
    std::size_t rows = (count + columns - 1) / columns;
    return item * 184 / 103 * static_cast<CGFloat>(rows) + 92;
}

// ---- Table ----

int ZV_DetailVC::numberOfRows(UITableView&, int)
{
    return model ? rowCount : 0;
}

std::optional<CGFloat> ZV_DetailVC::heightForRow(UITableView&, const IndexPath& indexPath)
{
    if (!model)
        return 0;
    const ZV_AdvertConfigModel* adverts = ConfigSingleton::shared().advertConfigModel.get();
    switch (indexPath.row()) {
    case infoRow:
        return zv_playerInfoCellHeight;
    case featuresRow:
        return hasNoPlaySources(*model) ? 0 : featuresRowHeight;
    case episodeAdvertRow:
        return advertRowHeight(adverts, &ZV_AdvertConfigModel::player_episode_up, screenWidth());
    case selectRow:
        return hasNoPlaySources(*model) ? 0 : selectRowHeight;
    case relatedAdvertRow:
        return advertRowHeight(adverts, &ZV_AdvertConfigModel::player_recommend_up, screenWidth());
    case relatedRow:
        return relatedRowHeight(
            model->recommendList ? model->recommendList->size() : 0, screenWidth(), QMUIHelper::isIPad());
    default:
        return 0;
    }
}

std::shared_ptr<UITableViewCell> ZV_DetailVC::cellForRow(UITableView& table, const IndexPath& indexPath)
{
    std::weak_ptr<ZV_DetailVC> weak = weakSelf();
    auto call = [weak](void (ZV_DetailVC::*action)()) {
        return [weak, action] {
            if (auto self = weak.lock())
                ((*self).*action)();
        };
    };
    bool noSources = model && hasNoPlaySources(*model);
    switch (indexPath.row()) {
    case infoRow: {
        auto cell = dequeueCell<ZV_PlayerInfoCell>(table, indexPath);
        cell->model = model;
        cell->reloadData();
        cell->clickDesc = call(&ZV_DetailVC::showIntroSheet);
        return cell;
    }
    case featuresRow: {
        auto cell = dequeueCell<ZV_PlayerFeaturesCell>(table, indexPath);
        cell->contentView()->setHidden(noSources);
        cell->model = model;
        cell->reloadData();
        cell->clickDownload = call(&ZV_DetailVC::showDownloadSheet);
        cell->clickFeedback = call(&ZV_DetailVC::showFeedbackForm);
        cell->clickCollect = [weak, indexPath] {
            if (auto self = weak.lock())
                self->toggleFavourite(indexPath);
        };
        return cell;
    }
    case episodeAdvertRow:
    case relatedAdvertRow: {
        auto cell = dequeueCell<ZV_PlayerAdsCell>(table, indexPath);
        auto placement = indexPath.row() == episodeAdvertRow ? &ZV_AdvertConfigModel::player_episode_up
                                                             : &ZV_AdvertConfigModel::player_recommend_up;
        cell->fill(ConfigSingleton::shared().advertConfigModel.get(), placement, [weak, placement] {
            if (auto self = weak.lock())
                self->openAdvertLink(placement);
        });
        return cell;
    }
    case selectRow: {
        auto cell = dequeueCell<ZV_PlayerSelectCell>(table, indexPath);
        if (episode_id)
            cell->episodeId = *episode_id;
        if (!model)
            return cell;
        cell->contentView()->setHidden(noSources);
        cell->setModel(model);
        cell->clickSourceChange = call(&ZV_DetailVC::showSourcePicker);
        cell->clickMore = call(&ZV_DetailVC::showEpisodePicker);
        cell->clickIndexWithEpisodeId = [weak](const std::string& id) {
            if (auto self = weak.lock())
                self->switchEpisode(id);
        };
        return cell;
    }
    default: {
        auto cell = dequeueCell<ZV_PlayerRelevantCell>(table, indexPath);
        if (model)
            cell->setModelList(model->recommendList.value_or(ZV_PlayerRelevantCell::Titles {}));
        return cell;
    }
    }
}
