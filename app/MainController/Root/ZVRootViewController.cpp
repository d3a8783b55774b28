#include "app/MainController/Root/ZVRootViewController.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/NoticeHelpers.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterVC.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotDataSource.h"
#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"
#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"
#include "app/Theme/ZVBackdropImageView.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"

#include <cctype>
#include <cstdint>
#include <string_view>

namespace {

constexpr const char* databaseName = "zvlist.db";

std::string notificationName(NotificationTool::Notification notification)
{
    return std::string(NotificationTool::rawValue(notification));
}

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// What a URL may hold: the unreserved and reserved characters and complete percent escapes.
// Spaces, quotes, angle brackets, braces and other bytes make the text no URL at all.
bool holdsOnlyURLCharacters(std::string_view text)
{
    if (text.empty())
        return false;
    static constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
                return false;
            i += 2;
            continue;
        }
        if (std::isalnum(static_cast<unsigned char>(c)) || allowed.find(c) != std::string_view::npos)
            continue;
        return false;
    }
    return true;
}

}

ZVRootViewController::ZVRootViewController() = default;

ZVRootViewController::~ZVRootViewController()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

const std::shared_ptr<ZV_MainHomeViewController>& ZVRootViewController::mainHomeViewController()
{
    if (!m_mainHomeViewController)
        m_mainHomeViewController = std::make_shared<ZV_MainHomeViewController>();
    return m_mainHomeViewController;
}

const std::shared_ptr<ZV_ShortPageVC>& ZVRootViewController::shortPageVC()
{
    if (!m_shortPageVC)
        m_shortPageVC = std::make_shared<ZV_ShortPageVC>();
    return m_shortPageVC;
}

const std::shared_ptr<ZV_PersonalCenterVC>& ZVRootViewController::personalCenterVC()
{
    if (!m_personalCenterVC)
        m_personalCenterVC = std::make_shared<ZV_PersonalCenterVC>();
    return m_personalCenterVC;
}

const std::shared_ptr<ZV_RankingMainVC>& ZVRootViewController::rankingVC()
{
    if (!m_rankingVC)
        m_rankingVC = std::make_shared<ZV_RankingMainVC>();
    return m_rankingVC;
}

const std::shared_ptr<ZV_ChatMainVC>& ZVRootViewController::chatVC()
{
    if (!m_chatVC)
        m_chatVC = std::make_shared<ZV_ChatMainVC>();
    return m_chatVC;
}

const std::shared_ptr<UIImageView>& ZVRootViewController::imageBgView()
{
    if (!m_imageBgView) {
        m_imageBgView = UIView::create<ZVBackdropImageView>(UIImage::named("explore_bg"));
        m_imageBgView->setHidden(true);
    }
    return m_imageBgView;
}

const std::shared_ptr<JXSegmentedTitleImageAndDotDataSource>& ZVRootViewController::dataSource()
{
    if (!m_dataSource) {
        m_dataSource = std::make_shared<JXSegmentedTitleImageAndDotDataSource>();
        m_dataSource->titles = std::vector<std::string>(numberOfPages, "");
        m_dataSource->titleImageType = JXSegmentedTitleImageType::onlyImage;
        m_dataSource->imageSize = { 26, 26 };
        m_dataSource->normalImageInfos
            = { "tabbar_home", "tabbar_ranking", "tabbar_chat", "tabbar_short_video", "tabbar_my" };
        m_dataSource->selectedImageInfos = { "tabbar_home_select", "tabbar_ranking_select",
            "tabbar_chat_select", "tabbar_short_video_select", "tabbar_my_select" };
        // Four entries: only the "my" tab's dot is ever set, by makeNoti.
        m_dataSource->dotStates = { false, false, false, false };
    }
    return m_dataSource;
}

const std::shared_ptr<JXSegmentedIndicatorLineView>& ZVRootViewController::indicator()
{
    if (!m_indicator) {
        m_indicator = std::make_shared<JXSegmentedIndicatorLineView>();
        m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;
        m_indicator->indicatorColor = colorWithHex("03FFE1", 1.0);
        m_indicator->indicatorWidth = 10;
        m_indicator->indicatorHeight = 4;
    }
    return m_indicator;
}

const std::shared_ptr<JXSegmentedView>& ZVRootViewController::segmentedView()
{
    if (!m_segmentedView)
        m_segmentedView = UIView::create<JXSegmentedView>();
    return m_segmentedView;
}

const std::shared_ptr<JXSegmentedListContainerView>& ZVRootViewController::listContainerView()
{
    if (!m_listContainerView) {
        std::weak_ptr<JXSegmentedListContainerViewDataSource> source
            = std::static_pointer_cast<ZVRootViewController>(sharedFromThis());
        m_listContainerView
            = UIView::create<JXSegmentedListContainerView>(source, JXSegmentedListContainerType::scrollView);
    }
    return m_listContainerView;
}

void ZVRootViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    setDefaultDatabase();
    resumeDownloads();
    zv_roomMaxseqRequest();

    // Removed when the root goes (in the app it never does); the handlers hold it weakly.
    std::weak_ptr<ZVRootViewController> weakSelf
        = std::static_pointer_cast<ZVRootViewController>(sharedFromThis());
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(
        notificationName(NotificationTool::Notification::noti),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->makeNoti();
        },
        this);
    center.addObserver(
        notificationName(NotificationTool::Notification::chatNum),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->makeChat(0);
        },
        this);
    center.addObserver(
        UIApplicationNotification::WillEnterForeground,
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->zv_roomMaxseqRequest();
        },
        this);
}

void ZVRootViewController::setupUI()
{
    auto self = std::static_pointer_cast<ZVRootViewController>(sharedFromThis());
    segmentedView()->setDelegate(self);
    segmentedView()->setDataSource(dataSource());
    segmentedView()->setIndicators({ indicator() });
    segmentedView()->setListContainer(listContainerView());

    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::systemBackground());
    // Pages change only by tapping tabs.
    listContainerView()->scrollView()->setScrollEnabled(false);

    root->addSubview(imageBgView());
    root->addSubview(segmentedView());
    root->addSubview(listContainerView());

    snp(imageBgView()).makeConstraints([&](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(segmentedView()).makeConstraints([&](ConstraintMaker& make) {
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
        make.left().right().equalToSuperview();
        make.height().equalTo(54);
    });
    snp(listContainerView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.bottom().equalTo(snp(segmentedView()).top());
        make.left().right().equalToSuperview();
    });
}

void ZVRootViewController::setDefaultDatabase()
{
    std::filesystem::path documents = AppContainer::documentsDirectory();
    if (documents.empty())
        return;
    ASConfigration::setDefaultDB((documents / databaseName).string(), databaseName);
}

void ZVRootViewController::resumeDownloads()
{
    auto records = ZV_DownLoadModel::findUnfinished();
    if (!records) {
        Log::write("ZVRootViewController: downloads not resumed: " + records.error());
        return;
    }
    for (const ZV_DownLoadModel& record : *records) {
        if (record.state == ZV_DownLoadModel::statePause)
            continue;
        if (!holdsOnlyURLCharacters(record.url))
            continue;
        // The handlers of the process that started them are gone: the records follow their
        // exports again (a finished one tells its status in answer to the resume).
        if (auto exporter = SJMediaCacheServer::shared().exportAssetWithURL(record.url, true))
            downloads::followExport(*exporter);
    }
}

void ZVRootViewController::makeNoti()
{
    dataSource()->dotStates = { false, false, false, false, hasNewNotice() };
    segmentedView()->reloadData();
}

std::string ZVRootViewController::chatBadgeText(std::int64_t unread)
{
    if (unread < 1)
        return "";
    if (unread > 99)
        return "99+";
    return std::to_string(unread);
}

std::int64_t ZVRootViewController::chatUnreadCount(std::int64_t maxSeq)
{
    std::int64_t lastSeq = ActiveSQLiteTool::lastMessageSeq().value_or(0);
    // Both come from outside; a difference that does not fit is no count at all.
    std::int64_t unread = 0;
    if (__builtin_sub_overflow(maxSeq, lastSeq, &unread))
        unread = maxSeq > lastSeq ? INT64_MAX : 0;
    return unread;
}

void ZVRootViewController::makeChat(std::int64_t maxSeq)
{
    std::vector<std::string> badges(numberOfPages, "");
    badges[chatIndex] = chatBadgeText(chatUnreadCount(maxSeq));
    dataSource()->numLists = std::move(badges);
    segmentedView()->reloadData();
}

void ZVRootViewController::zv_roomMaxseqRequest()
{
    std::weak_ptr<ZVRootViewController> weakSelf
        = std::static_pointer_cast<ZVRootViewController>(sharedFromThis());
    ZV_Network::shared().roomMaxSeq([weakSelf](std::int64_t maxSeq) {
        if (auto self = weakSelf.lock())
            self->makeChat(maxSeq);
    });
}

void ZVRootViewController::didSelectedItemAt(JXSegmentedView& segmentedView, int)
{
    segmentedView.reloadDataWithoutListContainer();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZVRootViewController::initListAt(
    JXSegmentedListContainerView&, int index)
{
    switch (index) {
    case 0:
        return mainHomeViewController();
    case 1:
        return rankingVC();
    case 2:
        return chatVC();
    case 3:
        return shortPageVC();
    default:
        return personalCenterVC();
    }
}
