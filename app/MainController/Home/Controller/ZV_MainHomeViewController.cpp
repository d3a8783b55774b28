#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Storage/DefaultsKey.h"
#include "app/Extensions/LayerGradient.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"
#include "app/MainController/Home/Controller/ZV_HomeViewController.h"
#include "app/MainController/Home/View/ZV_UpdateAPPView.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackVC.h"
#include "app/MainController/Mine/Setting/ZV_PureAlertView.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_HomeAdvertAlertView.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptiveIconButton.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"

#include <charconv>

namespace {

constexpr std::string_view homeParseJSONKey = "home_parseJSON";
constexpr CGFloat tabRowHeight = 54;

}

ZV_MainHomeViewController::~ZV_MainHomeViewController()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

std::weak_ptr<ZV_MainHomeViewController> ZV_MainHomeViewController::weakSelf()
{
    return std::static_pointer_cast<ZV_MainHomeViewController>(sharedFromThis());
}

const std::shared_ptr<JXSegmentedTitleDataSource>& ZV_MainHomeViewController::zv_dataSource()
{
    if (m_dataSource)
        return m_dataSource;
    m_dataSource = std::make_shared<JXSegmentedTitleDataSource>();
    m_dataSource->titles = {};
    m_dataSource->itemSpacing = 26;
    m_dataSource->isTitleZoomEnabled = true;
    m_dataSource->titleSelectedColor = UIColor::label();
    m_dataSource->titleSelectedZoomScale = 1.5;
    m_dataSource->titleNormalColor = zvadaptive::textColor(colorWithHex("1D1942", 0.3));
    m_dataSource->isTitleColorGradientEnabled = true;
    m_dataSource->titleNormalFont = UIFont::systemFont(16, UIFont::Weight::medium);
    m_dataSource->titleSelectedFont = UIFont::systemFont(24, UIFont::Weight::medium);
    return m_dataSource;
}

const std::shared_ptr<JXSegmentedView>& ZV_MainHomeViewController::zv_segmentedView()
{
    if (!m_segmentedView) {
        m_segmentedView = UIView::create<JXSegmentedView>();
        m_segmentedView->setAccessibilityIdentifier("home.tabs");
    }
    return m_segmentedView;
}

const std::shared_ptr<JXSegmentedListContainerView>& ZV_MainHomeViewController::zv_listContainerView()
{
    if (!m_listContainerView) {
        std::weak_ptr<JXSegmentedListContainerViewDataSource> source = weakSelf();
        m_listContainerView
            = UIView::create<JXSegmentedListContainerView>(source, JXSegmentedListContainerType::scrollView);
    }
    return m_listContainerView;
}

const std::shared_ptr<UIView>& ZV_MainHomeViewController::zv_shadowView()
{
    if (!m_shadowView) {
        m_shadowView = UIView::create<UIView>();
        m_shadowView->setBackgroundColor(UIColor::clear());
        m_shadowView->setUserInteractionEnabled(false);
    }
    return m_shadowView;
}

const std::shared_ptr<UIButton>& ZV_MainHomeViewController::zv_searchBtn()
{
    if (m_searchBtn)
        return m_searchBtn;
    auto search = UIView::create<ZVAdaptiveIconButton>();
    search->setAdaptiveImage(UIImage::named("Search"));
    m_searchBtn = search;
    m_searchBtn->setAccessibilityIdentifier("home.search");
    std::weak_ptr<ZV_MainHomeViewController> weak = weakSelf();
    m_searchBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock())
            self->show(std::make_shared<ZV_SearchVC>());
    });
    return m_searchBtn;
}

void ZV_MainHomeViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    loadConfig();
    std::weak_ptr<ZV_MainHomeViewController> weak = weakSelf();
    ZV_HomeAdvertAlertView::show([weak](const std::string& url) {
        auto self = weak.lock();
        if (!self)
            return;
        if (auto browser = SFSafariViewController::make(url))
            self->present(browser, true);
    });
    NotificationCenter::defaultCenter().addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::pureMode)),
        [weak](const Notification&) {
            if (auto self = weak.lock())
                self->zv_loadData();
        },
        this);
}

void ZV_MainHomeViewController::setupUI()
{
    const std::shared_ptr<JXSegmentedView>& tabs = zv_segmentedView();
    tabs->setDelegate(weakSelf());
    tabs->setDataSource(zv_dataSource());
    tabs->setBackgroundColor(UIColor::systemBackground());
    tabs->setIndicators({});
    tabs->setListContainer(zv_listContainerView());

    const std::shared_ptr<UIView>& root = view();
    root->addSubview(tabs);
    root->addSubview(zv_listContainerView());
    root->addSubview(zv_shadowView());
    root->addSubview(zv_searchBtn());

    snp(tabs).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.left().equalToSuperview();
        make.width().equalTo(screenShortSide() - 60);
        make.height().equalTo(tabRowHeight);
    });
    snp(zv_listContainerView()).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview();
        make.top().equalToSuperview().offset(tabRowHeight);
        make.width().equalTo(screenShortSide());
        make.height().equalTo(screenLongSide() - QMUIHelper::statusBarHeightConstant()
            - bottomSafeAreaHeight() - tabRowHeight - tabRowHeight);
    });
    snp(zv_shadowView()).makeConstraints([&](ConstraintMaker& make) {
        make.right().equalToSuperview();
        make.centerY().equalTo(snp(tabs).centerY());
        make.width().equalTo(150);
        make.height().equalTo(tabRowHeight);
    });
    snp(zv_searchBtn()).makeConstraints([&](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.width().height().equalTo(24);
        make.centerY().equalTo(snp(tabs).centerY());
    });

    // The fade over the end of the tab row needs the shadow view's size.
    std::weak_ptr<ZV_MainHomeViewController> weak = weakSelf();
    DispatchQueue::main().async([weak] {
        auto self = weak.lock();
        if (!self)
            return;
        self->view()->layoutIfNeeded();
        addGradientLayer(*self->zv_shadowView()->layer(),
            { UIColor::systemBackground().withAlphaComponent(0), UIColor::systemBackground() });
    });

    // Until the viewer has answered it, the teen-mode prompt comes up over the whole window; its
    // teen-mode button opens the settings on this page's stack.
    ZV_PureAlertView::showIfNeeded(sharedFromThis());
    checkUpdate();
}

std::int64_t ZV_MainHomeViewController::currentVersionNumber()
{
    std::string digits;
    for (char c : ZV_NetworkEnvelope::clientVersion) {
        if (c != '.')
            digits += c;
    }
    std::int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

void ZV_MainHomeViewController::checkUpdate()
{
    JSON parameters = JSON::object({ { "type", "ios" }, { "current", currentVersionNumber() } });
    // The prompt keeps itself while it is up; the page is not needed for it.
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::checkUpdate, parameters, true,
        [](std::optional<JSON> json, std::optional<NSError>) {
            if (!json || (*json)["state"].stringValue() != "new_version")
                return;
            std::make_shared<ZV_UpdateAPPView>()->show((*json)["data"]);
        });
}

void ZV_MainHomeViewController::loadConfig()
{
    if (auto top = ZV_Tools::getCurrentVC(); top && top->view())
        QMUITips::showLoadingInView(top->view());
    std::weak_ptr<ZV_MainHomeViewController> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/app/config", JSON::object(),
        [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            UserDefaults& defaults = UserDefaults::standard();
            if (json && json->type() == JSON::Type::Object) {
                defaults.set(PropertyList(ZV_NetworkEnvelope::jsonString(*json)), DefaultsKey::appConfig);
                self->applyConfig(*json);
                return;
            }
            // No configuration came: the kept one, if it still reads as one.
            std::optional<std::string> cached = defaults.stringForKey(DefaultsKey::appConfig);
            if (!cached)
                return;
            JSON stored = JSON::parse(*cached);
            if (stored.type() != JSON::Type::Object) {
                Log::write("home: the kept configuration is not a JSON object; the tabs stay");
                return;
            }
            self->applyConfig(stored);
        });
}

void ZV_MainHomeViewController::applyConfig(const JSON& json)
{
    types.clear();
    zv_configData = std::make_shared<const ZV_ConfigData>(json);
    ConfigSingleton::shared().zv_configData = zv_configData;
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::noti)));
    if (UserDefaults::standard().stringForKey(homeParseJSONKey))
        return;
    std::vector<std::string> titles;
    for (const JSON& tab : json["index_top_nav"].arrayValue()) {
        types.push_back(tab["id"].intValue());
        titles.push_back(tab["name"].stringValue());
    }
    zv_dataSource()->titles = std::move(titles);
    zv_segmentedView()->reloadData();
}

void ZV_MainHomeViewController::clickRight(const ZV_HomeRightModel& model)
{
    if (model.type == "navigator") {
        if (model.data.page == "play_record")
            show(std::make_shared<ZV_PlaybackVC>());
        return;
    }
    if (model.type == "tabs")
        zv_segmentedView()->selectItemAt(static_cast<int>(model.data.index));
}

int ZV_MainHomeViewController::numberOfLists(JXSegmentedListContainerView&)
{
    return zv_dataSource()->numberOfItems();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZV_MainHomeViewController::initListAt(
    JXSegmentedListContainerView&, int index)
{
    std::int64_t id = 0;
    if (zv_configData && index >= 0 && index < static_cast<int>(zv_configData->index_top_nav.size()))
        id = zv_configData->index_top_nav[index].id;
    if (!zv_configData || id == 0) {
        auto feed = std::make_shared<ZV_HomeViewController>();
        std::weak_ptr<ZV_MainHomeViewController> weak = weakSelf();
        feed->zv_homeRightModelBlock = [weak](const ZV_HomeRightModel& model) {
            if (auto self = weak.lock())
                self->clickRight(model);
        };
        return feed;
    }
    auto screen = std::make_shared<ZV_HomeScreemVC>();
    screen->type_id = id;
    screen->zv_sort = zv_configData->movie_screen.sort;
    for (const auto& group : zv_configData->movie_screen.filter) {
        if (group.id != id)
            continue;
        // The filter row hides the second copy of the first class, which lines up the first
        // option ("all") alone in its column. The page gets its own copy of the group, so the
        // shared configuration stays as the server sent it.
        ZV_ConfigDataMovie_screenFilter filter = group;
        if (!filter.type.empty())
            filter.type.insert(filter.type.begin(), filter.type.front());
        screen->zv_filter = std::move(filter);
        break;
    }
    return screen;
}
