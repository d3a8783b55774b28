// How much of a view shows inside another, as lists of players measure it.

#include "platform/media/SJViewIntersection.h"
#include "platform/ui/UIWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(SJViewIntersection, ThePartInsideTheOtherViewInWindowCoordinates)
{
    auto window = std::make_shared<UIWindow>(CGRect { 0, 0, 390, 844 });
    auto list = std::make_shared<UIView>(CGRect { 0, 100, 390, 600 });
    auto page = std::make_shared<UIView>(CGRect { 0, -200, 390, 600 });
    window->addSubview(list);
    list->addSubview(page);

    EXPECT_EQ(intersectionWithView(*page, *list), (CGRect { 0, 100, 390, 400 }));
    EXPECT_EQ(intersectionWithView(*page, *list, { 50, 0, 0, 10 }), (CGRect { 0, 150, 380, 350 }));
    page->setFrame({ 0, 600, 390, 600 });
    EXPECT_EQ(intersectionWithView(*page, *list).height(), 0) << "just below: nothing shows";

    auto elsewhere = std::make_shared<UIView>(CGRect { 0, 0, 390, 600 });
    EXPECT_EQ(intersectionWithView(*elsewhere, *list), CGRect {}) << "in no window";
}

}
