// A table view, the tab bar, the tool bar and the navigation bar drawn with the themes' values,
// and what a theme change re-renders.

#include "app/Theme/QDCommonUI.h"
#include "app/Theme/QDUIHelper.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIToolbar.h"
#include "platform/ui/qmui/QMUICommonViewController.h"
#include "platform/ui/qmui/QMUINavigationController.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "platform/ui/qmui/QMUITableViewCell.h"
#include "tests/app/Theme/ThemeTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::expectColour;
using zvtest::ink;
using zvtest::rgb;
using zvtest::ThemeTest;

class Rows : public UITableViewDataSource {
public:
    int numberOfRows(UITableView&, int) override { return 3; }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView& table, const IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCell("row", indexPath);
        cell->textLabel()->setText("第 " + std::to_string(indexPath.row() + 1) + " 集");
        return cell;
    }
    std::optional<std::string> titleForHeader(UITableView&, int) override { return "最近观看"; }
};

class ListScreen : public QMUICommonViewController {
public:
    void initSubviews() override
    {
        setTitle("片单");
        table = UIView::create<QMUITableView>();
        table->registerClass<QMUITableViewCell>("row");
        table->setDataSource(rows);
        view()->addSubview(table);
        toolbar = UIView::create<UIToolbar>();
        toolbar->setItems({ UIBarButtonItem::withTitle("全选"), UIBarButtonItem::withTitle("删除") });
        view()->addSubview(toolbar);
    }

    void viewDidLayoutSubviews() override
    {
        CGRect b = view()->bounds();
        UIEdgeInsets safe = view()->safeAreaInsets();
        CGFloat toolbarTop = b.height() - safe.bottom - UIToolbar::barHeight;
        table->setFrame({ 0, safe.top, b.width(), toolbarTop - safe.top });
        toolbar->setFrame({ 0, toolbarTop, b.width(), UIToolbar::barHeight });
    }

    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<QMUITableView> table;
    std::shared_ptr<UIToolbar> toolbar;
};

class ThemeComponentsTest : public ThemeTest {
protected:
    // The list screen in a navigation stack, as the first of two tabs.
    void showTabs()
    {
        list = std::make_shared<ListScreen>();
        tabs = std::make_shared<UITabBarController>();
        auto other = std::make_shared<UIViewController>();
        other->setTitle("我的");
        auto navigation = std::make_shared<QMUINavigationController>(list);
        navigation->setTabBarItem(QDUIHelper::tabBarItemWithTitle("片单", std::nullopt, std::nullopt, 1));
        tabs->setViewControllers({ navigation, other });
        show(tabs);
        list->table->selectRow(IndexPath::forRow(1, 0), false, UITableViewScrollPosition::none);
        drain();
    }

    // Drawn at the screen's scale, where a hairline fills a row of pixels.
    static UIImage render(const char* name)
    {
        UIImage image = Renderer::renderScreen(scale);
        Renderer::writePNG(image, zvtest::screenshotPath(name));
        return image;
    }

    static UIColor::RGBA pixelOf(const UIImage& screen, const UIView& view, CGPoint point)
    {
        CGPoint p = view.convert(point, nullptr);
        return screen.pixel(static_cast<int>(p.x * scale), static_cast<int>(p.y * scale));
    }

    static constexpr CGFloat scale = 3;

    // Spot pixels of the bars: the backdrop, and the top hairline of the bottom bars.
    void expectBars(const UIImage& screen, const UIColor& backdrop, const UIColor& line)
    {
        for (const UIView* bar : { static_cast<const UIView*>(&tabs->tabBar()),
                 static_cast<const UIView*>(list->toolbar.get()) }) {
            SCOPED_TRACE(bar->className());
            expectColour(pixelOf(screen, *bar, { 380, 30 }), backdrop, 0.03);
            expectColour(pixelOf(screen, *bar, { 380, 0 }), line, 0.03);
        }
    }

    std::shared_ptr<ListScreen> list;
    std::shared_ptr<UITabBarController> tabs;
};

TEST_F(ThemeComponentsTest, TableAndBarsDrawTheThemesValues)
{
    showTabs();
    ZVThemeConfiguration::share().setupTheme();
    UIImage light = render("theme_light_table_and_bars.png");

    auto& table = *list->table;
    CGRect header = table.rectForHeader(0);
    expectColour(pixelOf(light, table, { 3, header.midY() }), rgb(244, 244, 244));
    CGRect selected = table.rectForRow(IndexPath::forRow(1, 0));
    expectColour(pixelOf(light, table, { 3, selected.midY() }), rgb(238, 239, 241));
    CGRect first = table.rectForRow(IndexPath::forRow(0, 0));
    expectColour(pixelOf(light, table, { 200, first.maxY() - 0.2 }), rgb(222, 224, 226));
    // The light theme leaves the bars their own see-through light look (over the black window).
    expectBars(light, UIColor::white(0.94), UIColor::white(0.66));
    const auto& navigationBar = list->navigationController()->navigationBar();
    expectColour(pixelOf(light, navigationBar, { 380, 22 }), UIColor::white(), 0.03);

    // Bars already on screen follow a switch.
    ASSERT_TRUE(QMUIThemeManagerCenter::defaultThemeManager().setCurrentThemeIdentifier("Dark"));
    drain();
    UIImage dark = render("theme_dark_table_and_bars.png");
    expectBars(dark, UIColor::black(), rgb(0x2E, 0x32, 0x36));
    expectColour(pixelOf(dark, navigationBar, { 380, 22 }), UIColor::black(), 0.03);
}

TEST_F(ThemeComponentsTest, ThemeChangeRendersAppearancesAndEmotionsOnce)
{
    int renders = 0;
    QDCommonUI::setAppearanceCustomiser(QDAppearanceSlot::moreOperation, [&] { ++renders; });
    const auto& emotions = QDUIHelper::qmuiEmotions();
    ASSERT_EQ(emotions.size(), 8u);
    EXPECT_EQ(emotions[0]->identifier(), "emotion_01");
    EXPECT_EQ(emotions[7]->displayName(), "[啊]");
    ZVThemeConfiguration::share().setupTheme();
    auto emotionInk = [&] { return emotions[7]->image() ? ink(*emotions[7]->image()) : UIColor::RGBA {}; };

    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    drain();
    EXPECT_EQ(renders, 1);
    expectColour(emotionInk(), rgb(0x27, 0xC0, 0xF3), 0.02);

    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Default"));
    drain();
    EXPECT_EQ(renders, 2);
    expectColour(emotionInk(), rgb(49, 189, 243), 0.02);
    QDCommonUI::setAppearanceCustomiser(QDAppearanceSlot::moreOperation, {});
}

}
