#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Cell/ZV_OfflineInfoCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerAdsCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJEdgeControlButtonItemAdapter.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"

ZV_OfflinePlayerVC::ZV_OfflinePlayerVC() = default;
ZV_OfflinePlayerVC::~ZV_OfflinePlayerVC() = default;

std::weak_ptr<ZV_OfflinePlayerVC> ZV_OfflinePlayerVC::weakSelf()
{
    return std::static_pointer_cast<ZV_OfflinePlayerVC>(sharedFromThis());
}

const std::shared_ptr<UIView>& ZV_OfflinePlayerVC::zv_topView()
{
    if (!m_topView)
        m_topView = UIView::create();
    return m_topView;
}

const std::shared_ptr<ZV_Player>& ZV_OfflinePlayerVC::zv_playerView()
{
    if (!m_playerView) {
        m_playerView = UIView::create<ZV_Player>();
        m_playerView->isOffline = true;
        m_playerView->setupUI();
        // The player moved on by itself (end of an episode, the ending skipped, its next item):
        // it already plays that one, the row only follows.
        m_playerView->clickIndexWithEpisodeId = [weak = weakSelf()](const std::string& episodeId) {
            auto self = weak.lock();
            if (!self)
                return;
            self->episode_id = episodeId;
            self->reloadEpisodeRow();
        };
    }
    return m_playerView;
}

const std::shared_ptr<QMUITableView>& ZV_OfflinePlayerVC::zv_tableView()
{
    if (!m_tableView) {
        m_tableView = UIView::create<QMUITableView>(CGRect {}, UITableViewStyle::plain);
        registerCell<ZV_PlayerSelectCell>(*m_tableView);
        registerCell<ZV_OfflineInfoCell>(*m_tableView);
        registerCell<ZV_PlayerAdsCell>(*m_tableView);
        m_tableView->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
        auto self = std::static_pointer_cast<ZV_OfflinePlayerVC>(sharedFromThis());
        m_tableView->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
        m_tableView->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
        m_tableView->setAccessibilityIdentifier("offline.table");
    }
    return m_tableView;
}

void ZV_OfflinePlayerVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    // Held weakly: a page left within the delay starts no playback.
    DispatchQueue::main().asyncAfter(DispatchTime::now() + loadDelay, [weak = weakSelf()] {
        if (auto self = weak.lock())
            self->loadEpisodes();
    });
}

void ZV_OfflinePlayerVC::setupUI()
{
    setEdgesForExtendedLayout(UIRectEdgeNone);
    const std::shared_ptr<UIView>& root = view();
    root->addSubview(zv_topView());
    root->addSubview(zv_playerView());
    root->addSubview(zv_tableView());

    snp(zv_playerView()).makeConstraints([&root](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.height().equalTo(screenShortSide() * 9 / 16);
    });
    snp(zv_topView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.bottom().equalTo(snp(zv_playerView()).top());
    });
    zv_topView()->setBackgroundColor(UIColor::black());
    snp(zv_tableView()).makeConstraints([this, &root](ConstraintMaker& make) {
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
        make.top().equalTo(snp(zv_playerView()).bottom());
        make.left().right().equalToSuperview();
    });

    // The player's own episode item does nothing; in full screen it opens the panel here. The
    // source item gets no action: downloads have one source.
    if (auto item = zv_playerView()->zv_bottomAdapter()->itemForTag(ZV_Player::selectTag)) {
        item->addAction(SJEdgeControlButtonItemAction::actionWithHandler(
            [weak = weakSelf()](SJEdgeControlButtonItemAction&) {
                if (auto self = weak.lock())
                    self->showEpisodePanel();
            }));
    }

    detailModel = std::make_shared<ZV_DetailModel>();
    detailModel->name = name;
    detailModel->id = vod_id;

    // The starting episode's record of this title (episode ids repeat across titles).
    model.reset();
    if (vod_id && episode_id) {
        auto found = ZV_DownLoadModel::findEpisode(*vod_id, *episode_id);
        if (!found)
            Log::write("ZV_OfflinePlayerVC: the episode's record cannot be read: " + found.error());
        else if (*found)
            model = **found;
    }
}

std::shared_ptr<ZV_DetailDataListPlayFromListModel> ZV_OfflinePlayerVC::episodeOf(
    const ZV_DownLoadModel& record)
{
    auto episode = std::make_shared<ZV_DetailDataListPlayFromListModel>();
    episode->episodeId = record.episodeId;
    episode->episodeName = record.episodeName;
    episode->playUrl = record.url;
    return episode;
}

void ZV_OfflinePlayerVC::loadEpisodes()
{
    list.clear();
    std::vector<ZV_DownLoadModel> records;
    if (vod_id) {
        auto found = ZV_DownLoadModel::findFinished(*vod_id);
        if (!found)
            Log::write("ZV_OfflinePlayerVC: the episodes cannot be read: " + found.error());
        else
            records = std::move(*found);
    }
    const std::shared_ptr<ZV_Player>& player = zv_playerView();
    for (const ZV_DownLoadModel& record : downloads::sortedByEpisodeName(std::move(records))) {
        list.push_back(episodeOf(record));
        if (episode_id && *episode_id == record.episodeId)
            player->episodeId = record.episodeId;
    }
    player->model = detailModel;
    player->episodeList = list;
    player->playEpisode();
    zv_tableView()->reloadData();
}

void ZV_OfflinePlayerVC::chooseEpisode(const std::string& episodeId, bool reloadRow)
{
    episode_id = episodeId;
    zv_playerView()->episodeId = episodeId;
    zv_playerView()->playEpisode();
    if (reloadRow)
        reloadEpisodeRow();
}

void ZV_OfflinePlayerVC::reloadEpisodeRow()
{
    if (!detailModel)
        return;
    zv_tableView()->reloadRows({ IndexPath::forRow(episodeRow, 0) }, UITableViewRowAnimation::automatic);
}

void ZV_OfflinePlayerVC::showEpisodeSheet()
{
    zv_playerView()->player()->pause();
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->episodeId = episode_id.value_or("");
    sheet->bottom = zv_playerView()->frame().maxY();
    sheet->clickIndexWithEpisodeId = [weak = weakSelf()](const std::string& episodeId) {
        if (auto self = weak.lock())
            self->chooseEpisode(episodeId, true);
    };
    sheet->showOfflineEpisodes(list);
}

void ZV_OfflinePlayerVC::showEpisodePanel()
{
    auto panel = std::make_shared<ZV_ShowRightFullView>();
    panel->episodeId = episode_id.value_or("");
    panel->clickIndexWithEpisodeId = [weak = weakSelf()](const std::string& episodeId) {
        if (auto self = weak.lock())
            self->chooseEpisode(episodeId, true);
    };
    panel->showOfflineEpisodes(list);
}

CGFloat ZV_OfflinePlayerVC::advertHeight()
{
    const auto& config = ConfigSingleton::shared().advertConfigModel;
    if (!config || config->player_episode_up.data.image.empty())
        return 0;
    return (screenWidth() - 48) * 122 / 342 + 20;
}

std::optional<CGFloat> ZV_OfflinePlayerVC::heightForRow(UITableView&, const IndexPath& indexPath)
{
    switch (indexPath.row()) {
    case infoRow:
        return 96;
    case advertRow:
        return advertHeight();
    case episodeRow:
        return 130;
    default:
        return 0;
    }
}

std::shared_ptr<UITableViewCell> ZV_OfflinePlayerVC::cellForRow(
    UITableView& table, const IndexPath& indexPath)
{
    if (indexPath.row() == infoRow) {
        auto cell = dequeueCell<ZV_OfflineInfoCell>(table, indexPath);
        if (model) {
            cell->model = model;
            cell->zv_title()->setText(model->name);
        }
        return cell;
    }
    if (indexPath.row() == advertRow) {
        auto cell = dequeueCell<ZV_PlayerAdsCell>(table, indexPath);
        // Opens only absolute http and https links, read from the configuration at the tap.
        cell->fill(ConfigSingleton::shared().advertConfigModel.get(),
            &ZV_AdvertConfigModel::player_episode_up, [weak = weakSelf()] {
                if (auto self = weak.lock())
                    ZV_AdvertView::openLink(*self, &ZV_AdvertConfigModel::player_episode_up);
            });
        return cell;
    }
    if (indexPath.row() == episodeRow) {
        auto cell = dequeueCell<ZV_PlayerSelectCell>(table, indexPath);
        cell->episodeId = episode_id.value_or("");
        cell->modelList = list;
        cell->setOffline(true);
        cell->reloadEpisodes();
        cell->clickIndexWithEpisodeId = [weak = weakSelf()](const std::string& episodeId) {
            // The row marks the chip and centres it itself.
            if (auto self = weak.lock())
                self->chooseEpisode(episodeId, false);
        };
        cell->clickMore = [weak = weakSelf()] {
            if (auto self = weak.lock())
                self->showEpisodeSheet();
        };
        return cell;
    }
    return std::make_shared<UITableViewCell>();
}
