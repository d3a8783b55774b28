#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIPageControl.h"
#include "platform/ui/controls/UISegmentedControl.h"
#include "platform/ui/controls/UISlider.h"
#include "platform/ui/controls/UISwitch.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Controls : public zvtest::WindowTest {
protected:
    std::shared_ptr<UIButton> makeButton()
    {
        auto button = add<UIButton>({ 100, 100, 120, 44 });
        for (unsigned event : { UIControlEventTouchDown, UIControlEventTouchUpInside,
                 UIControlEventTouchUpOutside, UIControlEventTouchCancel }) {
            button->addAction(event, [this, event](UIControl&) { events.push_back(event); });
        }
        return button;
    }
    std::vector<unsigned> events;
};

TEST_F(Controls, TouchUpInsideVersusOutside)
{
    auto button = makeButton();
    bool highlightedWhileDown = false;
    button->addAction(
        UIControlEventTouchDown, [&](UIControl& c) { highlightedWhileDown = c.isHighlighted(); });

    driver.tap({ 150, 120 });
    EXPECT_EQ(events, (std::vector<unsigned> { UIControlEventTouchDown, UIControlEventTouchUpInside }));
    EXPECT_TRUE(highlightedWhileDown);
    EXPECT_FALSE(button->isHighlighted());

    // Lifting just outside the bounds still counts as inside (the tracking slop)...
    events.clear();
    driver.drag({ 150, 120 }, { 150, 180 }, 0.1);
    EXPECT_EQ(events.back(), UIControlEventTouchUpInside);
    // ...far away it is outside.
    events.clear();
    driver.drag({ 150, 120 }, { 150, 400 }, 0.2);
    EXPECT_EQ(events, (std::vector<unsigned> { UIControlEventTouchDown, UIControlEventTouchUpOutside }));
}

TEST_F(Controls, DisabledButtonSendsNothingAndTheTouchGoesBelow)
{
    auto below = add({ 0, 0, 390, 400 });
    int belowTaps = 0;
    below->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++belowTaps; }));
    auto button = add<UIButton>({ 100, 100, 120, 44 }, below);
    int taps = 0;
    button->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++taps; });
    button->setTitle("Go");
    button->setTitle("Wait", UIControlStateDisabled);

    button->setEnabled(false);
    EXPECT_EQ(button->currentTitle(), "Wait");
    driver.tap({ 150, 120 });
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(belowTaps, 1);

    button->setEnabled(true);
    EXPECT_EQ(button->currentTitle(), "Go");
    driver.tap({ 150, 120 });
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(belowTaps, 1);
}

TEST_F(Controls, ActionsRunInOrderAndCanBeRemoved)
{
    auto button = add<UIButton>({ 0, 0, 10, 10 });
    std::vector<int> order;
    auto first = button->addAction(UIControlEventTouchUpInside, [&](UIControl&) { order.push_back(1); });
    button->addAction(
        UIControlEventTouchUpInside | UIControlEventValueChanged, [&](UIControl&) { order.push_back(2); });
    button->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(order, (std::vector<int> { 1, 2 }));
    button->removeAction(first);
    button->removeActions(UIControlEventTouchUpInside);
    EXPECT_EQ(button->allControlEvents(), unsigned(UIControlEventValueChanged));
    order.clear();
    button->sendActions(UIControlEventAllEvents);
    EXPECT_EQ(order, (std::vector<int> { 2 }));

    // A weakly held target that has gone runs nothing.
    struct Target {
        int hits = 0;
        void hit() { ++hits; }
    };
    struct Derived : Target { };
    auto target = std::make_shared<Derived>();
    button->addTarget(target, &Target::hit, UIControlEventTouchDown);
    button->sendActions(UIControlEventTouchDown);
    EXPECT_EQ(target->hits, 1);
    target.reset();
    button->sendActions(UIControlEventTouchDown);
}

TEST_F(Controls, ButtonIntrinsicSizeIsTitlePlusImagePlusContentInsets)
{
    auto button = add<UIButton>({ 0, 0, 0, 0 });
    button->setTitle("立即登录");
    button->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    CGSize title = TextLayout::measure("立即登录", UIFont::systemFont(14, UIFont::Weight::medium));
    CGSize plain = button->intrinsicContentSize();
    EXPECT_EQ(plain.width, title.width);
    EXPECT_GE(plain.height, title.height);

    button->setContentEdgeInsets({ 10, 24, 10, 24 });
    EXPECT_EQ(button->intrinsicContentSize(), (CGSize { plain.width + 48, plain.height + 20 }));

    button->setImage(UIImage::filled(UIColor::red(), { 20, 30 }));
    button->setTitleEdgeInsets({ 0, 8, 0, -8 }); // shifts the title; no effect on the size
    CGSize withImage = button->intrinsicContentSize();
    EXPECT_EQ(withImage.width, plain.width + 48 + 20);
    EXPECT_EQ(withImage.height, std::max<CGFloat>(plain.height, 30) + 20);

    // Layout: the image sits left of the title, the pair centred; the title inset moves the title.
    button->setFrame({ 0, 0, 300, 60 });
    button->layoutIfNeeded();
    CGRect image = button->imageView()->frame();
    CGRect label = button->titleLabel()->frame();
    EXPECT_EQ(image.size, (CGSize { 20, 30 }));
    EXPECT_NEAR(image.minX(), std::floor((300 - 48 - 20 - title.width) / 2) + 24, 0.5);
    EXPECT_NEAR(label.minX(), image.maxX() + 8, 0.5);
    EXPECT_EQ(button->titleLabel()->text(), "立即登录");
}

TEST_F(Controls, SwitchSegmentsSliderAndPageDots)
{
    auto toggle = add<UISwitch>({ 10, 10, 100, 100 });
    EXPECT_EQ(toggle->frame().size, UISwitch::size);
    int changes = 0;
    toggle->addAction(UIControlEventValueChanged, [&](UIControl&) { ++changes; });
    driver.tapView(*toggle);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(changes, 1);

    auto segments = add<UISegmentedControl>({ 0, 100, 300, 32 });
    for (const char* title : { "0.5X", "1.0X", "2.0X" })
        segments->insertSegment(title, segments->numberOfSegments());
    segments->setSelectedSegmentIndex(1);
    int segmentChanges = 0;
    segments->addAction(UIControlEventValueChanged, [&](UIControl&) { ++segmentChanges; });
    driver.tap({ 250, 116 });
    EXPECT_EQ(segments->selectedSegmentIndex(), 2);
    driver.tap({ 250, 116 });
    EXPECT_EQ(segmentChanges, 1) << "choosing the selected segment again changes nothing";

    auto slider = add<UISlider>({ 20, 200, 300, 31 });
    std::vector<float> values;
    slider->addAction(UIControlEventValueChanged,
        [&](UIControl& c) { values.push_back(static_cast<UISlider&>(c).value()); });
    auto parentPan = std::make_shared<UIPanGestureRecognizer>();
    int pans = 0;
    parentPan->addTarget([&](UIGestureRecognizer&) { ++pans; });
    window->addGestureRecognizer(parentPan);
    // The thumb is at the left end; drag it half of its travel.
    CGFloat travel = 300 - UISlider::defaultThumbSize;
    driver.drag({ 34, 215 }, { 34 + travel / 2, 215 }, 0.3);
    ASSERT_FALSE(values.empty());
    EXPECT_NEAR(slider->value(), 0.5, 0.01);
    EXPECT_EQ(pans, 0) << "a drag on the thumb belongs to the slider";
    // A touch off the thumb does not move it.
    driver.tap({ 300, 215 });
    EXPECT_NEAR(slider->value(), 0.5, 0.01);

    auto dots = add<UIPageControl>({ 0, 300, 390, 26 });
    dots->setNumberOfPages(5);
    dots->setCurrentPage(9);
    EXPECT_EQ(dots->currentPage(), 4);
    driver.tap({ 20, 313 });
    EXPECT_EQ(dots->currentPage(), 3);
}

}
