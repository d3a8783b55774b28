// A control as drawn: a rounded button with a centred title over its background.

#include "platform/ui/Renderer.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/platform/ui/GoldenImage.h"

#include <gtest/gtest.h>

TEST(ControlRendering, RoundedButtonWithTitle)
{
    auto root = UIView::create(CGRect { 0, 0, 160, 60 });
    root->setBackgroundColor(UIColor::white());
    auto button = UIView::create<UIButton>(UIButtonType::custom);
    button->setFrame(CGRect { 10, 10, 140, 40 });
    button->setBackgroundColor(UIColor(0.0, 1.0, 0.88, 1.0));
    button->layer()->setCornerRadius(20);
    button->setClipsToBounds(true);
    button->setTitle("立即观看 Play");
    button->setTitleColor(UIColor::black());
    root->addSubview(button);
    root->layoutIfNeeded();

    EXPECT_TRUE(uitest::matchesGolden(Renderer::render(*root, 2), "button_rounded_title"));
}
