// The explore cards against the local test server: dealing titles across batches, the stack's
// size, the card's texts and shade, the buttons and sign-in, and the root screen's background.

#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Explore/Controller/ZV_ExploreVC.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Explore/View/ZV_ExploreView.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIImageView.h"
#include "tests/app/MainController/Short/ShortTestSupport.h"

using testserver::ApiReply;

namespace {

class ExploreTest : public shorttest::ShortScreenTest {
protected:
    static nlohmann::json titles(const std::string& prefix, int count)
    {
        nlohmann::json list = nlohmann::json::array();
        for (int i = 0; i < count; ++i)
            list.push_back({ { "id", prefix + std::to_string(i) }, { "name", prefix + std::to_string(i) } });
        return list;
    }
    std::size_t batches() const { return api().recordsTo("v1/movie/explore/list").size(); }

    // The titles of the cards in play, top first ("-" for a card without one).
    std::vector<std::string> dealt() const
    {
        std::vector<std::string> names;
        for (const auto& view : explore->zv_swipeableView()->activeViews()) {
            auto card = std::dynamic_pointer_cast<ZV_ExploreView>(view);
            names.push_back(card && card->model() ? card->model()->name : "-");
        }
        return names;
    }

    std::shared_ptr<ZV_ExploreVC> explore;
};

TEST_F(ExploreTest, CardsAreDealtInOrderAndANewBatchTakesOverWhereTheIndexStands)
{
    api().script("v1/movie/explore/list", ApiReply::success({ { "list", titles("A", 5) } }));
    explore = show(std::make_shared<ZV_ExploreVC>());
    ASSERT_TRUE(settle([&] { return explore->zv_swipeableView()->activeViews().size() == 3; }));
    EXPECT_EQ(dealt(), (std::vector<std::string> { "A0", "A1", "A2" }));
    EXPECT_EQ(explore->zv_swipeableView()->topView()->bounds(), explore->zv_swipeableView()->bounds());

    ZLSwipeableView& stack = *explore->zv_swipeableView();
    stack.swipeTopView(ZLSwipeableViewDirection::left);
    stack.swipeTopView(ZLSwipeableViewDirection::left);
    EXPECT_EQ(dealt(), (std::vector<std::string> { "A2", "A3", "A4" }));
    EXPECT_EQ(batches(), 1u);

    // Past the end: a new batch is asked for and the card dealt now is the old batch's first.
    api().script("v1/movie/explore/list", ApiReply::success({ { "list", titles("B", 5) } }));
    stack.swipeTopView(ZLSwipeableViewDirection::left);
    EXPECT_EQ(dealt(), (std::vector<std::string> { "A3", "A4", "A0" }));
    ASSERT_TRUE(settle([&] { return explore->zv_modelList.front()->name == "B0"; }));
    EXPECT_EQ(batches(), 2u);
    stack.swipeTopView(ZLSwipeableViewDirection::left);
    EXPECT_EQ(dealt(), (std::vector<std::string> { "A4", "A0", "B1" }))
        << "on from the index, in the new batch";
}

// The stack stands 18 pt in from either side on a phone, 100 on an iPad, and is as high as its
// cards of 354 wide to 500 high.
TEST_F(ExploreTest, TheStackKeepsItsSideInsetsAndTheCardsAspect)
{
    struct Case {
        bool pad;
        CGFloat screen;
        CGFloat inset;
        CGFloat height;
    };
    for (const Case& c : { Case { false, 390, 18, 500 }, Case { false, 375, 18, 339.0 * 500 / 354 },
             Case { true, 820, 100, 620.0 * 500 / 354 }, Case { true, 1024, 100, 824.0 * 500 / 354 } }) {
        EXPECT_EQ(ZV_ExploreVC::cardInset(c.pad), c.inset) << c.screen;
        EXPECT_DOUBLE_EQ(ZV_ExploreVC::cardHeight(c.screen, c.pad), c.height) << c.screen;
    }
    api().script("v1/movie/explore/list", ApiReply::success({ { "list", titles("A", 5) } }));
    explore = show(std::make_shared<ZV_ExploreVC>());
    EXPECT_EQ(explore->zv_swipeableView()->frame(), (CGRect { 18, 0, 354, 500 }));
}

TEST_F(ExploreTest, AnEmptyBatchDealsBlankCardsThatEachAskAgain)
{
    api().script("v1/movie/explore/list", ApiReply::success({ { "list", nlohmann::json::array() } }));
    explore = show(std::make_shared<ZV_ExploreVC>());
    ASSERT_TRUE(settle([&] { return batches() == 4; })) << "the first, then one per blank card";
    EXPECT_EQ(dealt(), (std::vector<std::string> { "-", "-", "-" }));
    EXPECT_TRUE(explore->zv_modelList.empty());
}

TEST_F(ExploreTest, ACardShowsTheTitlesTypeLineCastAndBlurbOverAShadeMadeOnce)
{
    for (const auto& [json, typeLine, castLine] :
        std::vector<std::tuple<std::string, std::string, std::string>> {
            { R"({"year": 2024, "tags": [{"name": "冒险"}, {"name": "奇幻"}],
                  "members": [{"name": "林远舟"}, {"name": "乔安"}]})",
                "电影 / 2024 / 冒险 / 奇幻", "主演：林远舟 / 乔安" },
            { R"({"year": "2021", "tags": "none"})", "电影 / 2021", "主演：" },
        }) {
        auto title = std::make_shared<ZV_MovieExploreModel>(JSON::parse(json));
        title->name = "山海之间";
        title->blurb = "一支考察队深入无人区。";
        auto card = ZV_ExploreView::make({ 0, 0, 354, 500 });
        card->setModel(title);
        EXPECT_EQ(card->desLb()->text(), typeLine);
        EXPECT_EQ(card->tipLb()->text(), castLine);
        EXPECT_EQ(card->titleLb()->text(), "山海之间");
        EXPECT_EQ(card->contentLb()->text(), "一支考察队深入无人区。");
        EXPECT_EQ(card->bgImgView()->image(), UIImage::named("placeholder_explore")) << "no cover address";
    }

    // However often it is laid out, the shade has its one gradient, fitted to its size.
    auto card = ZV_ExploreView::make({ 0, 0, 354, 500 });
    for (CGFloat width : { 354.0, 300.0, 354.0 }) {
        card->setFrame({ 0, 0, width, width * 500 / 354 });
        card->layoutIfNeeded();
    }
    const auto& sublayers = card->shadeView()->layer()->sublayers();
    EXPECT_EQ(
        std::count_if(sublayers.begin(), sublayers.end(),
            [](const auto& layer) { return std::dynamic_pointer_cast<CAGradientLayer>(layer) != nullptr; }),
        1);
    EXPECT_EQ(sublayers.front(), card->shadeGradient());
    EXPECT_EQ(card->shadeGradient()->frame(), card->shadeView()->bounds());
    EXPECT_GT(card->shadeView()->bounds().height(), 0);
}

TEST_F(ExploreTest, TheLikeButtonAsksASignedOutViewerToSignInFirst)
{
    api().script("v1/movie/explore/list", ApiReply::success({ { "list", titles("A", 5) } }));
    explore = show(std::make_shared<ZV_ExploreVC>());
    ASSERT_TRUE(settle([&] { return explore->zv_swipeableView()->activeViews().size() == 3; }));
    std::vector<ZLSwipeableViewDirection> swipes;
    explore->zv_swipeableView()->didSwipe
        = [&](const std::shared_ptr<UIView>&, ZLSwipeableViewDirection direction, CGVector) {
              swipes.push_back(direction);
          };

    explore->zv_collectBtn()->sendActions(UIControlEventTouchUpInside);
    drain();
    auto login = std::dynamic_pointer_cast<UINavigationController>(explore->presentedViewController());
    ASSERT_TRUE(login);
    EXPECT_TRUE(std::dynamic_pointer_cast<ZV_LoginViewVC>(login->topViewController()));
    EXPECT_EQ(login->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
    EXPECT_TRUE(swipes.empty());
    EXPECT_EQ(dealt().front(), "A0");
    login->dismiss(false);
    advance(1);

    StoreData::set(PropertyList(std::string("token")), StoreData::access_token);
    explore->zv_collectBtn()->sendActions(UIControlEventTouchUpInside);
    explore->zv_closeBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(swipes,
        (std::vector<ZLSwipeableViewDirection> {
            ZLSwipeableViewDirection::right, ZLSwipeableViewDirection::left }));
    EXPECT_EQ(dealt().front(), "A2");
}

TEST_F(ExploreTest, TheRootBackgroundShowsWithThePageAndGoesTwiceButSparesAnotherPagesPicture)
{
    // The root's home tab checks for updates: no offer, whose prompt would outlive the test.
    api().script("v1/app/check_update", ApiReply::success({ { "state", "latest" } }));
    auto root = std::make_shared<ZVRootViewController>();
    auto navigation = std::make_shared<ZVNavigationController>(root);
    window->setRootViewController(navigation);
    drain();
    explore = std::make_shared<ZV_ExploreVC>();
    navigation->pushViewController(explore, false);
    drain();
    const std::shared_ptr<UIImageView>& background = root->imageBgView();
    EXPECT_FALSE(background->isHidden());
    EXPECT_EQ(background->image(), UIImage::named("explore_bg"));

    navigation->pushViewController(std::make_shared<BaseViewController>(), false);
    drain();
    EXPECT_TRUE(background->isHidden());
    background->setHidden(false); // shown again meanwhile, as a late layout pass might
    advance(0.11);
    EXPECT_TRUE(background->isHidden()) << "hidden once more 0.1 s later";

    // Leaving for a page that shows its own picture: that one stays.
    navigation->popViewController(false);
    drain();
    EXPECT_FALSE(background->isHidden());
    navigation->pushViewController(std::make_shared<BaseViewController>(), false);
    drain();
    background->setImage(UIImage::named("ranking_bg"));
    background->setHidden(false);
    advance(0.11);
    EXPECT_FALSE(background->isHidden());
    // The root's first requests are answered before the next test's screen side takes over.
    runUntil([&] { return ui->hides >= static_cast<int>(api().records().size()); }, 5);
    drain();
}

}
