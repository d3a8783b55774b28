// The framework's table view and cells against the configuration: the cell colours of the
// table's style, the margins of a section title's accessory, the padding above section headers
// and the colours of the section index. Each value is set apart per style, so a view that reads
// the wrong one (or none) fails.

#include "platform/ui/Renderer.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "platform/ui/qmui/QMUITableViewCell.h"
#include "platform/ui/qmui/QMUITableViewHeaderFooterView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

UIColor rgb(int r, int g, int b)
{
    return UIColor(r / 255.0, g / 255.0, b / 255.0, 1);
}

void expectNear(const UIColor::RGBA& got, const UIColor& want)
{
    auto w = want.rgba();
    EXPECT_NEAR(got.red, w.red, 0.02);
    EXPECT_NEAR(got.green, w.green, 0.02);
    EXPECT_NEAR(got.blue, w.blue, 0.02);
}

// Two sections with titled headers and footers, one row each, and optional index titles.
class Sections : public UITableViewDataSource {
public:
    std::vector<std::string> index;

    int numberOfSections(UITableView&) override { return 2; }
    int numberOfRows(UITableView&, int) override { return 1; }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView& table, const IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCell("row", indexPath);
        cell->textLabel()->setText("第 " + std::to_string(indexPath.section + 1) + " 季");
        return cell;
    }
    std::optional<std::string> titleForHeader(UITableView&, int) override { return "季"; }
    std::optional<std::string> titleForFooter(UITableView&, int) override { return "完"; }
    std::vector<std::string> sectionIndexTitles(UITableView&) override { return index; }
};

class QmuiTable : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        QMUIConfiguration::resetForTesting();
    }
    void TearDown() override
    {
        QMUIConfiguration::resetForTesting();
        uitest::ControllerTest::TearDown();
    }

    static QMUIConfiguration& config() { return QMUIConfiguration::sharedInstance(); }

    // A table of the style on the window, laid out with its rows shown.
    std::shared_ptr<QMUITableView> showTable(UITableViewStyle style)
    {
        auto table = UIView::create<QMUITableView>(CGRect { 0, 0, 390, 600 }, style);
        table->registerClass<QMUITableViewCell>("row");
        table->setDataSource(sections);
        window->addSubview(table);
        table->layoutIfNeeded();
        return table;
    }

    std::shared_ptr<Sections> sections = std::make_shared<Sections>();
};

}

TEST_F(QmuiTable, CellsTakeTheCellColoursOfTheirTablesStyle)
{
    auto& c = config();
    c.tableViewCellTitleLabelColor = rgb(1, 1, 1);
    c.tableViewCellDetailLabelColor = rgb(2, 2, 2);
    c.tableViewCellBackgroundColor = rgb(3, 3, 3);
    c.tableViewCellSelectedBackgroundColor = rgb(4, 4, 4);
    c.tableViewGroupedCellTitleLabelColor = rgb(11, 11, 11);
    c.tableViewGroupedCellDetailLabelColor = rgb(12, 12, 12);
    c.tableViewGroupedCellBackgroundColor = rgb(13, 13, 13);
    c.tableViewGroupedCellSelectedBackgroundColor = rgb(14, 14, 14);

    struct Case {
        std::optional<UITableViewStyle> table;
        int base;
    };
    for (const Case& k : { Case { UITableViewStyle::plain, 0 }, Case { UITableViewStyle::grouped, 10 },
             Case { std::nullopt, 0 } }) {
        SCOPED_TRACE(k.base);
        auto cell = k.table
            ? std::make_shared<QMUITableViewCell>(*k.table, UITableViewCellStyle::value1, "row")
            : std::make_shared<QMUITableViewCell>(UITableViewCellStyle::value1, "row");
        EXPECT_EQ(cell->textLabel()->textColor(), rgb(k.base + 1, k.base + 1, k.base + 1));
        EXPECT_EQ(cell->detailTextLabel()->textColor(), rgb(k.base + 2, k.base + 2, k.base + 2));
        EXPECT_EQ(cell->backgroundColor(), rgb(k.base + 3, k.base + 3, k.base + 3));
        ASSERT_TRUE(cell->selectedBackgroundView());
        EXPECT_EQ(cell->selectedBackgroundView()->backgroundColor(), rgb(k.base + 4, k.base + 4, k.base + 4));
    }

    // Cells a grouped table makes from the registered class are made for its style.
    auto grouped = showTable(UITableViewStyle::grouped);
    auto shown = grouped->cellForRow(IndexPath::forRow(0, 0));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->backgroundColor(), rgb(13, 13, 13));
    EXPECT_EQ(shown->textLabel()->textColor(), rgb(11, 11, 11));
}

TEST_F(QmuiTable, SectionTitlesKeepTheirAccessoryWithinTheConfiguredMargins)
{
    auto& c = config();
    c.tableViewSectionHeaderContentInset = { 4, 15, 4, 15 };
    c.tableViewSectionHeaderAccessoryMargins = { 0, 1, 0, 2 };
    c.tableViewSectionFooterAccessoryMargins = { 0, 3, 0, 4 };
    c.tableViewGroupedSectionHeaderContentInset = { 16, 15, 8, 15 };
    c.tableViewGroupedSectionHeaderAccessoryMargins = { 2, 10, 0, 6 };
    c.tableViewGroupedSectionFooterContentInset = { 8, 15, 2, 15 };
    c.tableViewGroupedSectionFooterAccessoryMargins = { 0, 5, 0, 7 };

    struct Case {
        UITableViewStyle style;
        bool header;
        UIEdgeInsets inset;
        UIEdgeInsets margins;
    };
    for (const Case& k : {
             Case { UITableViewStyle::plain, true, { 4, 15, 4, 15 }, { 0, 1, 0, 2 } },
             Case { UITableViewStyle::plain, false, {}, { 0, 3, 0, 4 } },
             Case { UITableViewStyle::grouped, true, { 16, 15, 8, 15 }, { 2, 10, 0, 6 } },
             Case { UITableViewStyle::grouped, false, { 8, 15, 2, 15 }, { 0, 5, 0, 7 } },
         }) {
        SCOPED_TRACE(std::string(k.style == UITableViewStyle::grouped ? "grouped " : "plain ")
            + (k.header ? "header" : "footer"));
        auto table = showTable(k.style);
        auto title = std::dynamic_pointer_cast<QMUITableViewHeaderFooterView>(
            k.header ? table->headerView(0) : table->footerView(0));
        ASSERT_TRUE(title);
        EXPECT_EQ(title->accessoryViewMargins(), k.margins);
        auto accessory = std::make_shared<UIView>(CGRect { 0, 0, 20, 10 });
        title->setAccessoryView(accessory);
        title->setFrame({ 0, 0, 390, 60 });
        title->layoutIfNeeded();
        CGRect at = accessory->frame();
        EXPECT_EQ(at.maxX(), 390 - k.inset.right - k.margins.right);
        EXPECT_EQ(at.midY(), k.inset.top + (60 - k.inset.top - k.inset.bottom) / 2 + k.margins.top);
        EXPECT_EQ(title->titleLabel()->frame().maxX(), at.minX() - k.margins.left);
        table->removeFromSuperview();
    }
}

TEST_F(QmuiTable, SectionHeadersKeepTheConfiguredPaddingAboveThem)
{
    // The gap between the first section's footer and the second section's header.
    auto gap = [&](UITableViewStyle style) {
        auto table = showTable(style);
        CGFloat between = table->rectForHeader(1).minY() - table->rectForFooter(0).maxY();
        CGFloat first = table->rectForHeader(0).minY();
        table->removeFromSuperview();
        return std::pair { first, between };
    };
    // Automatic: the table's own (nothing on this platform).
    EXPECT_EQ(gap(UITableViewStyle::plain), (std::pair<CGFloat, CGFloat> { 0, 0 }));
    config().tableViewSectionHeaderTopPadding = 12;
    config().tableViewGroupedSectionHeaderTopPadding = 20;
    EXPECT_EQ(gap(UITableViewStyle::plain), (std::pair<CGFloat, CGFloat> { 12, 12 }));
    EXPECT_EQ(gap(UITableViewStyle::grouped), (std::pair<CGFloat, CGFloat> { 20, 20 }));
}

TEST_F(QmuiTable, TheSectionIndexShowsInTheConfiguredColours)
{
    auto& c = config();
    c.tableSectionIndexColor = rgb(200, 30, 30);
    c.tableSectionIndexBackgroundColor = rgb(30, 200, 30);
    c.tableSectionIndexTrackingBackgroundColor = rgb(30, 30, 200);
    sections->index = { "A", "B" };
    auto table = showTable(UITableViewStyle::plain);
    table->setBackgroundColor(UIColor::white());
    // Shorter than its content, so that it can go to the second section.
    table->setRowHeight(44);
    table->setFrame({ 0, 0, 390, 90 });
    window->layoutIfNeeded();
    auto index = table->sectionIndexView();
    ASSERT_TRUE(index);
    CGRect strip = index->convert(index->bounds(), nullptr);
    EXPECT_EQ(strip.maxX(), 390);
    const CGPoint corner { strip.midX(), strip.minY() + 2 };

    // The red of the titles' ink where the first one stands.
    auto redOfFirstTitle = [&](const UIImage& image) {
        auto label = index->subviews().front();
        CGRect r = label->convert(label->bounds(), nullptr);
        CGFloat reddest = 0;
        for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y) {
            for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x) {
                auto p = image.pixel(x, y);
                reddest = std::max(reddest, p.red - p.green);
            }
        }
        return reddest;
    };
    UIImage screen = Renderer::renderScreen(1);
    expectNear(screen.pixel(int(corner.x), int(corner.y)), rgb(30, 200, 30));
    EXPECT_GT(redOfFirstTitle(screen), 0.25);

    // While a finger is on the index: the tracking background, and the table goes to the
    // section touched.
    auto title = index->subviews().back();
    CGPoint second = title->convert(CGPoint { title->bounds().midX(), title->bounds().midY() }, nullptr);
    ASSERT_TRUE(UIEventDispatcher::shared().touchDown(window, second));
    screen = Renderer::renderScreen(1);
    expectNear(screen.pixel(int(corner.x), int(corner.y)), rgb(30, 30, 200));
    // The second header right under the top inset (the status bar's).
    EXPECT_EQ(table->contentOffset().y, table->rectForHeader(1).minY() - table->adjustedContentInset().top);
    EXPECT_GT(table->contentOffset().y, 0);
    UIEventDispatcher::shared().touchUp(second);
    screen = Renderer::renderScreen(1);
    expectNear(screen.pixel(int(corner.x), int(corner.y)), rgb(30, 200, 30));

    // No titles, no index.
    sections->index.clear();
    table->reloadData();
    EXPECT_FALSE(table->sectionIndexView());
}
