#include "platform/foundation/Log.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/NSLayoutAnchor.h"
#include "platform/ui/layout/UIViewLayout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class LayoutBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIScreen::main().resetForTesting();
        root = UIView::create(CGRect { 0, 0, 390, 844 });
        Log::setSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override { Log::setSink({}); }

    std::shared_ptr<UIView> add(const std::shared_ptr<UIView>& parent, CGRect frame = {})
    {
        auto view = UIView::create(frame);
        parent->addSubview(view);
        return view;
    }

    std::shared_ptr<UIView> root;
    std::vector<std::string> log;
};

TEST_F(LayoutBuilderTest, LinesBecomeOneConstraintPerAttributeWithSidedConstants)
{
    auto view = add(root);
    std::shared_ptr<Constraint> edges;
    std::shared_ptr<Constraint> width;
    std::shared_ptr<Constraint> center;
    snp(view).makeConstraints([&](ConstraintMaker& make) {
        edges = make.edges().equalToSuperview().inset(UIEdgeInsets { 1, 2, 3, 4 }).constraint();
        width = make.width().equalToSuperview().inset(10).priority(ConstraintPriority::medium).constraint();
        center = make.center().equalTo(CGPoint { 50, 60 }).constraint();
    });
    EXPECT_FALSE(translatesAutoresizingMaskIntoConstraints(*view));

    ASSERT_EQ(edges->layoutConstraints().size(), 4u);
    std::vector<std::pair<NSLayoutAttribute, CGFloat>> got;
    for (const auto& c : edges->layoutConstraints()) {
        EXPECT_TRUE(c->firstItem().isView(view.get()));
        EXPECT_TRUE(c->secondItem().isView(root.get()));
        EXPECT_EQ(c->firstAttribute(), c->secondAttribute());
        EXPECT_TRUE(c->isActive());
        got.emplace_back(c->firstAttribute(), c->constant());
    }
    std::vector<std::pair<NSLayoutAttribute, CGFloat>> expected { { NSLayoutAttribute::left, 2 },
        { NSLayoutAttribute::top, 1 }, { NSLayoutAttribute::right, -4 }, { NSLayoutAttribute::bottom, -3 } };
    EXPECT_EQ(got, expected);

    auto w = width->layoutConstraints().at(0);
    EXPECT_EQ(w->constant(), -20);
    EXPECT_EQ(w->priority(), 500);

    // A constant centre is measured from the superview's left and top edges.
    ASSERT_EQ(center->layoutConstraints().size(), 2u);
    EXPECT_EQ(center->layoutConstraints()[0]->secondAttribute(), NSLayoutAttribute::left);
    EXPECT_EQ(center->layoutConstraints()[0]->constant(), 50);
    EXPECT_EQ(center->layoutConstraints()[1]->secondAttribute(), NSLayoutAttribute::top);
    EXPECT_EQ(center->layoutConstraints()[1]->constant(), 60);

    // Changing a kept line later.
    edges->updateInset(UIEdgeInsets { 10, 20, 30, 40 });
    EXPECT_EQ(edges->layoutConstraints()[2]->constant(), -40);
    edges->updateOffset(5);
    EXPECT_EQ(edges->layoutConstraints()[3]->constant(), 5);
    width->updatePriority(ConstraintPriority::low);
    EXPECT_EQ(w->priority(), 250);
}

TEST_F(LayoutBuilderTest, UpdateChangesMatchingConstantsAndAddsTheRest)
{
    auto track = add(root);
    snp(track).makeConstraints([&](ConstraintMaker& make) {
        make.left().top().equalToSuperview();
        make.width().equalTo(40);
        make.height().equalTo(4).priority(ConstraintPriority::high);
    });
    std::size_t before = constraints(*root).size() + constraints(*track).size();
    snp(track).updateConstraints([&](ConstraintMaker& make) {
        make.width().equalTo(120);
        make.left().equalToSuperview().offset(16);
    });
    EXPECT_EQ(constraints(*root).size() + constraints(*track).size(), before);
    root->layoutIfNeeded();
    EXPECT_EQ(track->frame(), CGRect(16, 0, 120, 4));

    // A line that differs in priority is not the same constraint: it is added.
    snp(track).updateConstraints([&](ConstraintMaker& make) { make.height().equalTo(8); });
    EXPECT_EQ(constraints(*track).size(), 3u);
    root->layoutIfNeeded();
    EXPECT_EQ(track->frame().size.height, 8);
}

TEST_F(LayoutBuilderTest, AnchorsPinEdgesAndRequireTheViewToStopTranslating)
{
    auto view = add(root, { 1, 2, 3, 4 });
    std::vector<std::shared_ptr<NSLayoutConstraint>> pins {
        topAnchor(*view).constraintEqualTo(topAnchor(*root), 10),
        leftAnchor(*view).constraintEqualTo(leftAnchor(*root), 20),
        bottomAnchor(*view).constraintEqualTo(bottomAnchor(*root), -30),
        rightAnchor(*view).constraintEqualTo(rightAnchor(*root), -40),
    };
    EXPECT_FALSE(pins[0]->isActive());
    NSLayoutConstraint::activate(pins);
    EXPECT_TRUE(pins[0]->isActive());
    // Still translating its frame: the frame stands, the constraints give way with a log line each.
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRect(1, 2, 3, 4));
    EXPECT_EQ(log.size(), 4u);

    setTranslatesAutoresizingMaskIntoConstraints(*view, false);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRect(20, 10, 330, 804));

    auto guide = add(root);
    setTranslatesAutoresizingMaskIntoConstraints(*guide, false);
    NSLayoutConstraint::activate({
        widthAnchor(*guide).constraintEqualTo(widthAnchor(*view), 0.5, 5),
        heightAnchor(*guide).constraintEqualToConstant(10),
        centerXAnchor(*guide).constraintEqualTo(centerXAnchor(*view)),
        topAnchor(*guide).constraintGreaterThanOrEqualTo(bottomAnchor(*view), 2),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(guide->frame(), CGRect(100, 816, 170, 10));

    NSLayoutConstraint::deactivate(pins);
    EXPECT_FALSE(pins[0]->isActive());
    EXPECT_TRUE(pins[0]->installedOn() == nullptr);
}

TEST_F(LayoutBuilderTest, ImpossibleRequestsAreRefusedWithoutCrashing)
{
    // No superview to refer to.
    auto loose = UIView::create();
    snp(loose).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview();
        make.top().equalTo(10);
    });
    EXPECT_TRUE(constraints(*loose).empty());
    EXPECT_EQ(log.size(), 2u);

    // Views in different trees share no ancestor.
    auto other = UIView::create();
    auto c = leftAnchor(*loose).constraintEqualTo(leftAnchor(*other));
    c->setActive(true);
    EXPECT_FALSE(c->isActive());
    EXPECT_EQ(log.size(), 3u);

    // Mixed axes never take part.
    auto view = add(root);
    snp(view).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalTo(snp(root).top());
        make.size().equalTo(CGSize { 5, 5 });
    });
    EXPECT_EQ(log.size(), 4u);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRect(0, 0, 5, 5));

    // A view no shared_ptr owns cannot be referred to weakly.
    UIView stack;
    snp(stack).makeConstraints([&](ConstraintMaker& make) { make.width().equalTo(1); });
    EXPECT_EQ(log.size(), 5u);
    snp(view).makeConstraints([&](ConstraintMaker& make) { make.top().equalTo(snp(stack).bottom()); });
    EXPECT_EQ(log.size(), 6u);
    EXPECT_EQ(snp(view).constraints().size(), 2u);
}

}
