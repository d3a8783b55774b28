// The pop-up menu: rows in sections with a line between sections, sized to its widest row, and
// a tap on a row running its item's handler.

#include "platform/ui/TextLayout.h"
#include "platform/ui/qmui/QMUIPopupMenuView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

using PopupMenu = zvtest::WindowTest;

TEST_F(PopupMenu, RowsInSectionsRunTheirHandlers)
{
    auto& appearance = QMUIPopupMenuView::appearance();
    const auto saved = appearance;
    appearance.itemTitleColor = UIColor(1, 0, 0, 1);

    auto source = add<UIView>({ 150, 400, 90, 40 });
    auto menu = std::make_shared<QMUIPopupMenuView>();
    menu->setSourceView(source);
    std::vector<std::string> chosen;
    auto choose = [&](QMUIPopupMenuButtonItem& item) {
        chosen.push_back(item.title);
        item.menuView()->hideWithAnimated(false);
    };
    menu->setItemSections(
        { { QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "回复", choose),
              QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "复制全部文字", choose) },
            { QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "举报", choose) } });
    menu->showWithAnimated(false);
    menu->layoutIfNeeded();

    // Three rows, one line between the sections, as wide as the widest title needs.
    const auto& rows = menu->itemSections();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0]->button()->frame().minY(), 2 * menu->itemHeight);
    EXPECT_EQ(rows[0][1]->button()->currentTitleColor(), UIColor(1, 0, 0, 1));
    CGFloat widest = TextLayout::measure("复制全部文字", menu->itemTitleFont).width + 2 * menu->padding;
    EXPECT_EQ(menu->contentView()->bounds().width(), widest);
    int lines = 0;
    for (const auto& view : menu->contentView()->subviews())
        lines += view->bounds().height() < 1;
    EXPECT_EQ(lines, 1);

    ASSERT_TRUE(driver.tapView(*rows[0][1]->button()));
    EXPECT_EQ(chosen, std::vector<std::string> { "复制全部文字" });
    EXPECT_FALSE(menu->isShowing());
    appearance = saved;
}
