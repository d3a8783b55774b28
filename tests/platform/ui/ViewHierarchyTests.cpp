#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void expectSamePoint(CGPoint actual, CGPoint expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

std::vector<const CALayer*> layerOrder(const UIView& view)
{
    std::vector<const CALayer*> order;
    for (auto& layer : view.layer()->sublayers())
        order.push_back(layer.get());
    return order;
}

class Recorder : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string>* log = nullptr;
    std::string name;
    void note(const std::string& line)
    {
        if (log)
            log->push_back(name + " " + line);
    }
    void willMoveToSuperview(UIView* s) override
    {
        note(std::string("willMoveToSuperview ") + (s ? "set" : "nil"));
    }
    void didMoveToSuperview() override { note("didMoveToSuperview"); }
    void willMoveToWindow(UIWindow* w) override
    {
        note(std::string("willMoveToWindow ") + (w ? "set" : "nil"));
    }
    void didMoveToWindow() override { note(std::string("didMoveToWindow ") + (window() ? "set" : "nil")); }
    void layoutSubviews() override
    {
        UIView::layoutSubviews();
        ++layouts;
    }
    void traitCollectionDidChange(const UITraitCollection&) override { ++traitChanges; }
    int layouts = 0;
    int traitChanges = 0;
};

TEST(ViewHierarchy, FrameBoundsCenterAndTransform)
{
    auto view = UIView::create(CGRect { 10, 20, 100, 50 });
    EXPECT_EQ(view->bounds(), (CGRect { 0, 0, 100, 50 }));
    EXPECT_EQ(view->center(), (CGPoint { 60, 45 }));
    view->setTransform(CGAffineTransform::scale(2, 2));
    // The frame grows about the centre; the bounds do not change.
    EXPECT_EQ(view->frame(), (CGRect { -40, -5, 200, 100 }));
    EXPECT_EQ(view->bounds().size, (CGSize { 100, 50 }));
    view->setTransform(CGAffineTransform::identity());
    view->setBounds({ 5, 5, 40, 10 });
    // Changing the bounds keeps the centre.
    EXPECT_EQ(view->frame(), (CGRect { 40, 40, 40, 10 }));
}

TEST(ViewHierarchy, SubviewOrderKeepsLayersInStepAndCyclesAreRefused)
{
    auto parent = UIView::create();
    auto a = UIView::create(), b = UIView::create(), c = UIView::create();
    parent->addSubview(a);
    parent->addSubview(b);
    auto extra = CALayer::make();
    parent->layer()->addSublayer(extra);
    parent->insertSubview(c, 0);
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<UIView>> { c, a, b }));
    EXPECT_EQ(layerOrder(*parent),
        (std::vector<const CALayer*> { c->layer().get(), a->layer().get(), b->layer().get(), extra.get() }));

    parent->bringSubviewToFront(c.get());
    EXPECT_EQ(parent->subviews().back(), c);
    EXPECT_EQ(parent->layer()->sublayers().back(), c->layer());
    parent->sendSubviewToBack(b.get());
    EXPECT_EQ(parent->subviews().front(), b);
    EXPECT_EQ(parent->layer()->sublayers().front(), b->layer());

    parent->insertSubviewBelow(c, a.get());
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<UIView>> { b, c, a }));
    parent->insertSubviewAbove(b, a.get());
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<UIView>> { c, a, b }));
    auto order = layerOrder(*parent);
    auto pos = [&](const UIView& v) {
        return std::find(order.begin(), order.end(), v.layer().get()) - order.begin();
    };
    EXPECT_LT(pos(*c), pos(*a));
    EXPECT_LT(pos(*a), pos(*b));

    // Moving to another parent removes it here.
    auto other = UIView::create();
    other->addSubview(a);
    EXPECT_EQ(parent->subviews().size(), 2u);
    EXPECT_EQ(a->superview(), other);
    EXPECT_EQ(a->layer()->superlayer(), other->layer());
    // Cycles are refused.
    a->addSubview(other);
    a->addSubview(a);
    EXPECT_FALSE(other->superview());
    EXPECT_TRUE(a->subviews().empty());
    a->removeFromSuperview();
    EXPECT_FALSE(a->superview());
    EXPECT_FALSE(a->layer()->superlayer());
}

TEST(ViewHierarchy, ParentOwnsChildrenAndLinksUpAreWeak)
{
    std::weak_ptr<UIView> weakChild;
    {
        auto parent = UIView::create();
        auto child = UIView::create();
        weakChild = child;
        parent->addSubview(child);
        child.reset();
        EXPECT_FALSE(weakChild.expired());
    }
    EXPECT_TRUE(weakChild.expired());

    auto survivor = UIView::create();
    {
        auto parent = UIView::create();
        parent->addSubview(survivor);
    }
    EXPECT_FALSE(survivor->superview());
}

TEST(ViewHierarchy, ConvertThroughBoundsOriginsAndTransforms)
{
    auto root = UIView::create(CGRect { 0, 0, 400, 400 });
    auto scroller = UIView::create(CGRect { 10, 20, 200, 200 });
    scroller->setBounds({ 0, 50, 200, 200 }); // scrolled down by 50
    root->addSubview(scroller);
    auto child = UIView::create(CGRect { 5, 60, 20, 20 });
    scroller->addSubview(child);

    expectSamePoint(child->convert(CGPoint { 0, 0 }, root.get()), { 15, 30 });
    expectSamePoint(root->convert(CGPoint { 15, 30 }, child.get()), { 0, 0 });
    expectSamePoint(child->convertFrom(CGPoint { 15, 30 }, root.get()), { 0, 0 });
    EXPECT_EQ(child->convert(child->bounds(), root.get()), (CGRect { 15, 30, 20, 20 }));

    // A view scaled by 2 and rotated a quarter turn about its centre.
    auto turned = UIView::create(CGRect { 100, 100, 40, 20 });
    turned->setTransform(CGAffineTransform::rotation(M_PI / 2).scaledBy(2, 2));
    root->addSubview(turned);
    // Its centre stays at (120, 110); its local point (40, 10) is 20 right of the local centre:
    // scaled to 40 and turned to point down.
    expectSamePoint(turned->convert(CGPoint { 20, 10 }, root.get()), { 120, 110 });
    expectSamePoint(turned->convert(CGPoint { 40, 10 }, root.get()), { 120, 150 });
    expectSamePoint(turned->convertFrom(CGPoint { 120, 150 }, root.get()), { 40, 10 });
    // Between two siblings.
    expectSamePoint(turned->convert(CGPoint { 40, 10 }, child.get()), { 105, 120 });
    // nullptr means the root's (window) space.
    expectSamePoint(child->convert(CGPoint { 1, 1 }, nullptr), { 16, 31 });
}

TEST(ViewHierarchy, HitTestingFindsTopmostInteractiveView)
{
    auto root = UIView::create(CGRect { 0, 0, 100, 100 });
    auto under = UIView::create(CGRect { 0, 0, 50, 50 });
    auto over = UIView::create(CGRect { 25, 25, 50, 50 });
    root->addSubview(under);
    root->addSubview(over);
    EXPECT_EQ(root->hitTest({ 30, 30 }), over);
    EXPECT_EQ(root->hitTest({ 10, 10 }), under);
    EXPECT_EQ(root->hitTest({ 90, 10 }), root);
    EXPECT_EQ(root->hitTest({ 100, 10 }), nullptr);

    over->setHidden(true);
    EXPECT_EQ(root->hitTest({ 30, 30 }), under);
    over->setHidden(false);
    over->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({ 30, 30 }), under);
    over->setAlpha(0.01);
    EXPECT_EQ(root->hitTest({ 30, 30 }), over);
    // Interaction off skips the view and its subviews.
    auto inner = UIView::create(CGRect { 0, 0, 10, 10 });
    over->addSubview(inner);
    EXPECT_EQ(root->hitTest({ 26, 26 }), inner);
    over->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({ 26, 26 }), under);

    // A subview outside its parent's bounds cannot be hit, clipping or not.
    auto outside = UIView::create(CGRect { 60, 0, 10, 10 });
    under->addSubview(outside);
    EXPECT_EQ(root->hitTest({ 65, 5 }), root);

    // Labels and image views ignore touches by default.
    auto label = UIView::create<UILabel>(CGRect { 80, 80, 20, 20 });
    root->addSubview(label);
    EXPECT_EQ(root->hitTest({ 85, 85 }), root);

    // Transformed views are hit where they are drawn.
    auto turned = UIView::create(CGRect { 0, 60, 40, 10 });
    turned->setTransform(CGAffineTransform::rotation(M_PI / 2));
    root->addSubview(turned);
    EXPECT_EQ(root->hitTest({ 20, 80 }), turned);
    EXPECT_EQ(root->hitTest({ 2, 65 }), root);
}

TEST(ViewHierarchy, LayoutRunsOnlyWhenNeeded)
{
    auto parent = std::make_shared<Recorder>();
    auto child = std::make_shared<Recorder>();
    parent->addSubview(child);
    parent->layoutIfNeeded();
    EXPECT_EQ(parent->layouts, 1);
    EXPECT_EQ(child->layouts, 1);
    parent->layoutIfNeeded();
    EXPECT_EQ(parent->layouts, 1);
    // Moving the child does not need its own layout, but resizing it lays out both.
    child->setCenter({ 5, 5 });
    parent->layoutIfNeeded();
    EXPECT_EQ(child->layouts, 1);
    child->setFrame({ 0, 0, 30, 30 });
    parent->layoutIfNeeded();
    EXPECT_EQ(parent->layouts, 2);
    EXPECT_EQ(child->layouts, 2);
}

TEST(ViewHierarchy, SafeAreaFollowsScreenAndOverlap)
{
    UIScreen::main().resetForTesting();
    auto window = std::make_shared<UIWindow>();
    EXPECT_EQ(window->safeAreaInsets(), (UIEdgeInsets { 47, 0, 34, 0 }));
    auto top = UIView::create(CGRect { 0, 20, 390, 100 });
    window->addSubview(top);
    EXPECT_EQ(top->safeAreaInsets(), (UIEdgeInsets { 27, 0, 0, 0 }));
    auto middle = UIView::create(CGRect { 0, 100, 390, 500 });
    window->addSubview(middle);
    EXPECT_EQ(middle->safeAreaInsets(), UIEdgeInsets {});
    middle->setAdditionalSafeAreaInsets({ 44, 0, 0, 0 });
    EXPECT_EQ(middle->safeAreaLayoutGuide(), (CGRect { 0, 44, 390, 456 }));
    auto full = UIView::create(window->bounds());
    window->addSubview(full);
    EXPECT_EQ(full->safeAreaInsets(), (UIEdgeInsets { 47, 0, 34, 0 }));
}

TEST(ViewHierarchy, TraitsInheritAndNotify)
{
    auto window = std::make_shared<UIWindow>(CGRect { 0, 0, 10, 10 });
    auto view = std::make_shared<Recorder>();
    auto pinned = std::make_shared<Recorder>();
    pinned->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    window->addSubview(view);
    view->addSubview(pinned);
    pinned->traitChanges = 0;
    view->traitChanges = 0;
    EXPECT_EQ(view->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::light);
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    EXPECT_EQ(view->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
    EXPECT_EQ(view->traitChanges, 1);
    EXPECT_EQ(pinned->traitChanges, 0);
    EXPECT_EQ(pinned->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::light);
    // Leaving the dark window changes the traits again.
    view->removeFromSuperview();
    EXPECT_EQ(view->traitChanges, 2);
}

TEST(ViewHierarchy, TagsGesturesAssociatedValuesAndTint)
{
    auto root = UIView::create();
    auto child = UIView::create();
    child->setTag(7);
    root->addSubview(child);
    EXPECT_EQ(root->viewWithTag(7), child);
    EXPECT_EQ(root->viewWithTag(8), nullptr);

    int fired = 0;
    auto tap = std::make_shared<UIGestureRecognizer>([&](UIGestureRecognizer&) { ++fired; });
    child->addGestureRecognizer(tap);
    EXPECT_EQ(tap->view(), child);
    root->addGestureRecognizer(tap);
    EXPECT_TRUE(child->gestureRecognizers().empty());
    EXPECT_EQ(tap->view(), root);
    tap->setState(UIGestureRecognizerState::ended);
    tap->setState(UIGestureRecognizerState::failed);
    EXPECT_EQ(fired, 1);
    root->removeGestureRecognizer(tap.get());
    EXPECT_FALSE(tap->view());

    // An empty value removes the entry.
    child->setAssociatedValue("tap", 42);
    child->setAssociatedValue("tap", std::any {});
    EXPECT_FALSE(child->associatedValue("tap"));

    root->setTintColor(UIColor::red());
    EXPECT_EQ(child->tintColor(), UIColor::red());
}

TEST(ViewHierarchy, ViewTreeDump)
{
    auto root = UIView::create(CGRect { 0, 0, 100, 50.5 });
    root->setAccessibilityIdentifier("root");
    auto label = UIView::create<UILabel>(CGRect { 1, 2, 300, 20 });
    label->setText("Hi \"there\"");
    root->addSubview(label);
    auto hidden = UIView::create<UIImageView>(CGRect { 0, 0, 10, 10 });
    hidden->setHidden(true);
    hidden->setAlpha(0.5);
    root->addSubview(hidden);
    EXPECT_EQ(Renderer::dumpViewTree(*root),
        "UIView frame=(0,0,100,50.5) id=\"root\"\n"
        "  UILabel frame=(1,2,300,20) text=\"Hi \\\"there\\\"\"\n"
        "  UIImageView frame=(0,0,10,10) hidden alpha=0.5 image=none\n");
}

}
