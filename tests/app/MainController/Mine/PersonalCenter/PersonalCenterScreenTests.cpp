// The personal centre against the sample API: its sections by the advert placement, the tap
// dispatch signed in and out, the profile from the delivered data and the sign-in notifications,
// and its cells (header forms, notice badge).

#include "app/Core/Helpers/NoticeHelpers.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterCollCell.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterUserCell.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterVC.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/sharing/UIPasteboard.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;
using Row = PersonalCenterRowType;

namespace {

class PersonalCenterTest : public MineScreenTest {
protected:
    std::shared_ptr<ZV_PersonalCenterVC> openCentre()
    {
        auto page = std::make_shared<ZV_PersonalCenterVC>();
        push(page);
        waitFor([&] { return !page->sectionList().empty(); });
        settle();
        return page;
    }

    // What a tap put in front: a pushed page's class, or the presented one's; then back.
    std::string shownAfter(const std::shared_ptr<ZV_PersonalCenterVC>& page, Row row)
    {
        page->select(row);
        settle();
        std::shared_ptr<UIViewController> presenter = navigation;
        if (!presenter->presentedViewController())
            presenter = page;
        std::shared_ptr<UIViewController> presented = presenter->presentedViewController();
        std::string shown = presented ? "presented " + presented->className() : top()->className();
        if (presented)
            presenter->dismiss(false);
        navigation->popToViewController(page, false);
        settle();
        return shown;
    }
};

}

TEST_F(PersonalCenterTest, SectionsAndInsetsFollowTheAdvertPicture)
{
    struct Case {
        const char* name;
        std::optional<std::string> advertImage; // none: no advert configuration at all
        std::vector<std::vector<Row>> sections;
        std::vector<UIEdgeInsets> insets;
    };
    const std::vector<Row> menu { Row::message, Row::share, Row::feedback, Row::help, Row::contact };
    const std::vector<Row> tiles { Row::collect, Row::record, Row::download };
    for (const Case& c : {
             Case { "no configuration", std::nullopt, { { Row::user }, tiles, menu },
                 { { 0, 36, 32, 36 }, { 0, 37, 32, 37 }, { 0, 24, 0, 24 } } },
             Case { "empty picture", std::string(), { { Row::user }, tiles, menu },
                 { { 0, 36, 32, 36 }, { 0, 37, 32, 37 }, { 0, 24, 0, 24 } } },
             Case { "advert", std::string("https://127.0.0.1:1/a.jpg"),
                 { { Row::user }, tiles, { Row::advert }, menu },
                 { { 0, 36, 32, 36 }, { 0, 37, 32, 37 }, { 0, 24, 10, 24 }, { 0, 24, 0, 24 } } },
         }) {
        ConfigSingleton::shared().advertConfigModel.reset();
        if (c.advertImage)
            loadAdverts(*c.advertImage);
        auto page = std::make_shared<ZV_PersonalCenterVC>();
        push(page);
        page->setupSectionList();
        EXPECT_EQ(page->sectionList(), c.sections) << c.name;
        UICollectionView& list = *page->collectionView();
        for (std::size_t index = 0; index < c.insets.size(); ++index) {
            EXPECT_EQ(page->insetForSection(list, *list.collectionViewLayout(), static_cast<int>(index)),
                c.insets[index])
                << c.name << " section " << index;
        }
        navigation->popToViewController(root, false);
        settle();
    }
}

TEST_F(PersonalCenterTest, ItemSizesByRowType)
{
    loadAdverts();
    auto page = std::make_shared<ZV_PersonalCenterVC>();
    push(page);
    page->setupSectionList();
    const CGFloat w = screenWidth();
    struct Case {
        IndexPath indexPath;
        CGSize size;
    };
    UICollectionView& list = *page->collectionView();
    for (const Case& c : { Case { IndexPath(0, 0), { w - 72, 68 } }, Case { IndexPath(2, 1), { 96, 84 } },
             Case { IndexPath(0, 2), { w - 48, (w - 48) * 122 / 342 } },
             Case { IndexPath(4, 3), { w - 48, 58 } }, Case { IndexPath(5, 3), { 0, 0 } },
             Case { IndexPath(0, 9), { 0, 0 } } }) {
        EXPECT_EQ(page->sizeForItem(list, *list.collectionViewLayout(), c.indexPath), c.size)
            << c.indexPath.section << "/" << c.indexPath.item;
    }
}

TEST_F(PersonalCenterTest, TapDispatchSignedInAndOut)
{
    loadConfiguration();
    struct Case {
        Row row;
        const char* signedIn;
        const char* signedOut;
    };
    const std::vector<Case> cases {
        { Row::user, "ZV_PersonalDataVC", "presented ZVNavigationController" },
        { Row::collect, "ZV_CollectVC", "ZV_CollectVC" },
        { Row::record, "ZV_PlaybackVC", "ZV_PlaybackVC" },
        { Row::download, "ZV_DownloadVC", "ZV_DownloadVC" },
        { Row::message, "ZV_MessageVC", "ZV_MessageVC" },
        { Row::setting, "ZV_SettingVC", "ZV_SettingVC" },
        { Row::contact, "ZV_AboutVC", "ZV_AboutVC" },
        { Row::about, "ZV_AboutVC", "ZV_AboutVC" },
        { Row::help, "ZV_HelpVC", "ZV_HelpVC" },
        { Row::feedback, "ZV_PersonalCenterVC", "presented ZVNavigationController" },
    };
    for (bool signedIn : { true, false }) {
        if (signedIn)
            setToken(sampleToken);
        else
            StoreData::remove(StoreData::access_token);
        std::shared_ptr<ZV_PersonalCenterVC> page = openCentre();
        for (const Case& c : cases)
            EXPECT_EQ(shownAfter(page, c.row), signedIn ? c.signedIn : c.signedOut)
                << static_cast<int>(c.row);
        // Signed in, feedback is the bottom sheet of the feedback form.
        EXPECT_EQ(QMUIModalPresentationViewController::visibleModalPresentationViewControllers().size(),
            signedIn ? 1u : 0u);
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        settle();
        navigation->popToViewController(root, false);
    }
}

TEST_F(PersonalCenterTest, HeaderOpensTheProfileWithTheCentresModel)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PersonalCenterVC> page = openCentre();
    ASSERT_TRUE(waitFor([&] { return page->model() != nullptr; }));
    page->select(Row::user);
    settle();
    auto profile = std::dynamic_pointer_cast<ZV_PersonalDataVC>(top());
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->model(), page->model());
}

TEST_F(PersonalCenterTest, ShareCopiesTheLinkOnlyWithAConfiguration)
{
    std::shared_ptr<ZV_PersonalCenterVC> page = openCentre();
    UIPasteboard::general().setString(std::string("before"));
    page->select(Row::share);
    EXPECT_EQ(UIPasteboard::general().string(), "before");
    EXPECT_EQ(lastTip(), "");

    loadConfiguration();
    page->select(Row::share);
    EXPECT_EQ(UIPasteboard::general().string(), ConfigSingleton::shared().zv_configData->share_link);
    EXPECT_EQ(lastTip(), "已复制分享链接");
}

TEST_F(PersonalCenterTest, ProfileFromTheDeliveredDataAndTheSignInNotifications)
{
    // Signed out, the refusal's message is delivered: no profile, the sections stand.
    std::shared_ptr<ZV_PersonalCenterVC> page = openCentre();
    ASSERT_TRUE(waitFor([&] { return requestsTo("v1/user/info") == 1; }));
    settle();
    EXPECT_FALSE(page->model());
    EXPECT_EQ(page->sectionList().size(), 3u);

    // "loginSuccess" fetches the profile: the server's data, also handed to the app.
    setToken(sampleToken);
    NotificationCenter::defaultCenter().post("loginSuccess");
    ASSERT_TRUE(waitFor([&] { return page->model() != nullptr; }));
    EXPECT_EQ(page->model()->id, "301877");
    EXPECT_EQ(page->model()->nickname, "听雨的小鱼");
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel, page->model());

    // "logoutSuccess" drops it without a request; the shared profile is not the centre's to clear.
    NotificationCenter::defaultCenter().post("logoutSuccess");
    EXPECT_FALSE(page->model());
    EXPECT_TRUE(ConfigSingleton::shared().zv_userInfoModel);
    settle();
    EXPECT_EQ(requestsTo("v1/user/info"), 2u);
    window->layoutIfNeeded();
    auto header = std::dynamic_pointer_cast<ZV_PersonalCenterUserCell>(
        page->collectionView()->cellForItem(IndexPath(0, 0)));
    ASSERT_TRUE(header);
    EXPECT_FALSE(header->loginBtn()->isHidden());
    EXPECT_TRUE(header->userView()->isHidden());

    // Coming back to the tab draws the cells again, without a request.
    page->viewWillAppear(false);
    settle();
    EXPECT_EQ(requestsTo("v1/user/info"), 2u);
}

TEST_F(PersonalCenterTest, HeaderForms)
{
    auto cell = std::make_shared<ZV_PersonalCenterUserCell>();
    struct Case {
        const char* json; // none: no profile
        bool login;
        const char* nickname;
    };
    for (const Case& c :
        { Case { nullptr, true, "" }, Case { R"({"id":"","nickname":"无名"})", true, "无名" },
            Case { R"({"id":7,"nickname":"夜航船","avatar":"not a url"})", false, "夜航船" } }) {
        cell->setModel(c.json ? std::make_shared<ZV_UserInfoModel>(JSON::parse(c.json)) : nullptr);
        EXPECT_EQ(cell->loginBtn()->isHidden(), !c.login) << c.nickname;
        EXPECT_EQ(cell->userView()->isHidden(), c.login) << c.nickname;
        EXPECT_EQ(cell->titleLb()->text(), c.nickname);
        // No valid avatar address: the default picture, without a load.
        EXPECT_EQ(cell->imageView()->image()->size(), UIImage::named("mine_user")->size());
    }
    EXPECT_EQ(cell->desLb()->text(), "UID：7");
}

TEST_F(PersonalCenterTest, NoticeBadgeFollowsHasNewNotice)
{
    struct Case {
        std::optional<std::string> configured; // none: no configuration
        std::optional<std::string> stored;
        bool badge;
    };
    for (const Case& c :
        { Case { "37", std::nullopt, true }, Case { "37", "12", true }, Case { "37", "37", false },
            Case { "", std::nullopt, false }, Case { std::nullopt, "12", false } }) {
        ConfigSingleton::shared().zv_configData.reset();
        if (c.configured)
            loadConfiguration(*c.configured);
        if (c.stored)
            UserDefaults::standard().set(PropertyList(*c.stored), "new_notice");
        else
            UserDefaults::standard().removeObjectForKey("new_notice");
        auto cell = std::make_shared<ZV_PersonalCenterCollCell>();
        cell->setRowType(Row::message);
        std::string label = c.configured.value_or("-") + "/" + c.stored.value_or("-");
        EXPECT_EQ(!cell->numLb()->isHidden(), c.badge) << label;
        EXPECT_EQ(cell->numLb()->text(), c.configured.value_or("")) << label;
        EXPECT_EQ(cell->titleLb()->text(), "系统消息");
        // Reused for another row, the badge goes before the new row shows.
        cell->setRowType(Row::share);
        EXPECT_TRUE(cell->numLb()->isHidden()) << label;
        EXPECT_EQ(cell->titleLb()->text(), "我要分享");
    }
}

TEST_F(PersonalCenterTest, TheAdvertOpensItsLandingPageInTheInAppBrowser)
{
    // The sample's link names the server's own host on port 0; here, the running server.
    JSON sample = sampleFile("advert_config.json");
    auto config = std::make_shared<ZV_AdvertConfigModel>(sample);
    std::string link = config->user_index.data.url;
    const std::string placeholder = "https://127.0.0.1:0/";
    ASSERT_EQ(link.rfind(placeholder, 0), 0u) << link;
    link = serverURL() + "/" + link.substr(placeholder.size());
    config->user_index.data.url = link;
    ConfigSingleton::shared().advertConfigModel = config;

    std::shared_ptr<ZV_PersonalCenterVC> page = openCentre();
    page->select(Row::advert);
    settle();
    auto browser = std::dynamic_pointer_cast<SFSafariViewController>(page->presentedViewController());
    ASSERT_TRUE(browser);
    const std::shared_ptr<WKWebView>& web = browser->webView();
    EXPECT_EQ(web->url(), link);
    ASSERT_TRUE(waitFor([&] { return web->hasPage() && web->hasPainted() && !web->pageText().empty(); }));
    EXPECT_TRUE(Renderer::writePNG(Renderer::renderScreen(), screenshotPath("advert-landing-page.png")));
    browser->done();
    settle();
    EXPECT_FALSE(page->presentedViewController());
}
