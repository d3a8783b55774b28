#include "platform/foundation/Log.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/lists/UIScrollView.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

::testing::AssertionResult frameIs(const UIView& view, CGRect expected)
{
    CGRect f = view.frame();
    auto near = [](CGFloat a, CGFloat b) { return std::abs(a - b) < 0.01; };
    if (near(f.origin.x, expected.origin.x) && near(f.origin.y, expected.origin.y)
        && near(f.size.width, expected.size.width) && near(f.size.height, expected.size.height))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "frame is (" << f.origin.x << ", " << f.origin.y << ", " << f.size.width << ", " << f.size.height
        << "), expected (" << expected.origin.x << ", " << expected.origin.y << ", " << expected.size.width
        << ", " << expected.size.height << ")";
}

// A view with a content size of its own, as buttons and image views have.
class ContentView : public UIView {
public:
    explicit ContentView(CGSize size)
        : m_size(size)
    { }
    CGSize intrinsicContentSize() const override { return m_size; }
    void setContentSize(CGSize size)
    {
        m_size = size;
        invalidateIntrinsicContentSize();
    }

private:
    CGSize m_size;
};

class LogCapture {
public:
    LogCapture()
    {
        Log::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { Log::setSink({}); }
    std::vector<std::string> lines;
};

class LayoutSolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIScreen::main().resetForTesting();
        root = UIView::create(CGRect { 0, 0, 390, 844 });
    }

    template<typename T = UIView, typename... Args>
    std::shared_ptr<T> add(const std::shared_ptr<UIView>& parent, Args&&... args)
    {
        auto view = UIView::create<T>(std::forward<Args>(args)...);
        parent->addSubview(view);
        return view;
    }

    std::shared_ptr<UIView> root;
};

TEST_F(LayoutSolverTest, EdgesChainsAndCentres)
{
    auto a = add(root);
    auto b = add(root);
    auto c = add(root);
    auto d = add(root);
    snp(a).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(12);
        make.top().equalToSuperview().offset(20);
        make.size().equalTo(CGSize { 100, 40 });
    });
    snp(b).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalTo(snp(a).right()).offset(8);
        make.top().height().equalTo(a);
        make.right().equalToSuperview().inset(12);
    });
    snp(c).makeConstraints([&](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.width().height().equalTo(50);
    });
    snp(d).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(a).bottom()).offset(10);
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview().offset(-30);
    });
    root->layoutIfNeeded();

    EXPECT_TRUE(frameIs(*a, { 12, 20, 100, 40 }));
    EXPECT_TRUE(frameIs(*b, { 120, 20, 258, 40 }));
    EXPECT_TRUE(frameIs(*c, { 170, 397, 50, 50 }));
    EXPECT_TRUE(frameIs(*d, { 24, 70, 342, 744 }));
}

TEST_F(LayoutSolverTest, SizesFromOtherViewsMultipliersAndNesting)
{
    auto banner = add(root);
    auto twin = add(root);
    auto quarter = add(root);
    snp(banner).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(10);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(snp(banner).width()).multipliedBy(122.0 / 342);
    });
    snp(twin).makeConstraints([&](ConstraintMaker& make) {
        make.size().equalTo(banner);
        make.top().equalTo(snp(banner).bottom());
        make.left().equalTo(banner);
    });
    // A multiplied position counts from the superview's leading edge.
    snp(quarter).makeConstraints([&](ConstraintMaker& make) {
        make.centerX().equalToSuperview().multipliedBy(0.5);
        make.top().equalTo(300);
        make.width().equalToSuperview().dividedBy(4);
        make.height().equalTo(10);
    });
    // A subview placed relative to a view that is itself placed by constraints.
    auto inner = add(banner);
    snp(inner).makeConstraints([&](ConstraintMaker& make) {
        make.right().bottom().equalToSuperview().inset(5);
        make.size().equalTo(CGSize { 10, 10 });
    });
    root->layoutIfNeeded();

    CGFloat height = 342 * 122.0 / 342;
    EXPECT_TRUE(frameIs(*banner, { 24, 10, 342, height }));
    EXPECT_TRUE(frameIs(*twin, { 24, 10 + height, 342, height }));
    // Edges snap to thirds of a point (the screen's pixels): 48.75 ... 146.25.
    EXPECT_TRUE(frameIs(*quarter, { 146.0 / 3, 300, 293.0 / 3, 10 }));
    EXPECT_TRUE(frameIs(*inner, { 327, height - 15, 10, 10 }));
}

TEST_F(LayoutSolverTest, InequalitiesAndPriorities)
{
    auto atLeast = add(root);
    auto preferred = add(root);
    auto capped = add(root);
    auto strongest = add(root);
    auto place = [&](const std::shared_ptr<UIView>& view, CGFloat y) {
        snp(view).makeConstraints([&](ConstraintMaker& make) {
            make.left().equalToSuperview();
            make.top().equalToSuperview().offset(y);
            make.height().equalTo(10);
        });
    };
    place(atLeast, 0);
    place(preferred, 20);
    place(capped, 40);
    place(strongest, 60);
    snp(atLeast).makeConstraints([&](ConstraintMaker& make) {
        make.width().greaterThanOrEqualTo(100);
        make.width().equalTo(50).priority(ConstraintPriority::high);
    });
    snp(preferred).makeConstraints([&](ConstraintMaker& make) {
        make.width().equalTo(300).priority(ConstraintPriority::low);
        make.width().equalTo(200).priority(ConstraintPriority::high);
    });
    snp(capped).makeConstraints([&](ConstraintMaker& make) {
        make.width().lessThanOrEqualTo(150);
        make.width().equalTo(400).priority(ConstraintPriority::medium);
    });
    // A stronger priority is never traded for any amount of weaker ones.
    snp(strongest).makeConstraints([&](ConstraintMaker& make) {
        make.width().equalTo(100).priority(251);
        for (int i = 0; i < 5; ++i)
            make.width().equalTo(0).priority(250);
    });
    root->layoutIfNeeded();

    EXPECT_EQ(atLeast->frame().size.width, 100);
    EXPECT_EQ(preferred->frame().size.width, 200);
    EXPECT_EQ(capped->frame().size.width, 150);
    EXPECT_EQ(strongest->frame().size.width, 100);
}

TEST_F(LayoutSolverTest, ContentSizeWithHuggingAndCompressionResistance)
{
    auto single = add<ContentView>(root, CGSize { 80, 30 });
    snp(single).makeConstraints([&](ConstraintMaker& make) { make.left().top().equalTo(10); });

    // A bar: the select-all button keeps its width (hugging 750), the delete button takes the rest.
    auto bar = add(root, CGRect { 0, 100, 300, 60 });
    auto keep = add<ContentView>(bar, CGSize { 80, 20 });
    auto stretch = add<ContentView>(bar, CGSize { 60, 20 });
    setContentHuggingPriority(*keep, 750, UILayoutConstraintAxis::horizontal);
    snp(keep).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.centerY().equalToSuperview();
    });
    snp(stretch).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalTo(snp(keep).right()).offset(24);
        make.right().equalToSuperview().inset(24);
        make.top().bottom().equalToSuperview().inset(8);
    });

    // Too little room: the view with the lower compression resistance gives way.
    auto narrow = add(root, CGRect { 0, 200, 100, 20 });
    auto firm = add<ContentView>(narrow, CGSize { 80, 20 });
    auto soft = add<ContentView>(narrow, CGSize { 80, 20 });
    setContentCompressionResistancePriority(*soft, 250, UILayoutConstraintAxis::horizontal);
    snp(firm).makeConstraints([&](ConstraintMaker& make) { make.left().top().equalToSuperview(); });
    snp(soft).makeConstraints([&](ConstraintMaker& make) {
        make.left().equalTo(snp(firm).right());
        make.right().top().equalToSuperview();
    });
    root->layoutIfNeeded();

    EXPECT_TRUE(frameIs(*single, { 10, 10, 80, 30 }));
    EXPECT_TRUE(frameIs(*keep, { 24, 20, 80, 20 }));
    EXPECT_TRUE(frameIs(*stretch, { 128, 8, 148, 44 }));
    EXPECT_TRUE(frameIs(*firm, { 0, 0, 80, 20 }));
    EXPECT_TRUE(frameIs(*soft, { 80, 0, 20, 20 }));

    single->setContentSize({ 120, 30 });
    EXPECT_TRUE(root->needsLayout());
    root->layoutIfNeeded();
    EXPECT_TRUE(frameIs(*single, { 10, 10, 120, 30 }));
}

TEST_F(LayoutSolverTest, LabelsTakeTheirTextSizeAndWrapAtTheirWidth)
{
    auto title = add<UILabel>(root);
    title->setText("相关推荐");
    snp(title).makeConstraints(
        [&](ConstraintMaker& make) { make.top().left().equalToSuperview().inset(24); });

    auto synopsis = add<UILabel>(root);
    synopsis->setNumberOfLines(0);
    synopsis->setText(
        "A long synopsis that certainly does not fit on one line of a phone screen, so it wraps "
        "onto several lines and pushes the views below it down.");
    snp(synopsis).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(title).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(20);
    });
    auto below = add(root);
    snp(below).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(synopsis).bottom()).offset(8);
        make.left().equalToSuperview();
        make.size().equalTo(CGSize { 10, 10 });
    });
    root->layoutIfNeeded();

    CGSize titleSize = title->intrinsicContentSize();
    EXPECT_GT(titleSize.width, 0);
    EXPECT_NEAR(title->frame().size.width, titleSize.width, 0.34);
    EXPECT_NEAR(title->frame().size.height, titleSize.height, 0.34);

    CGSize wrapped = synopsis->sizeThatFits({ 350, INFINITY });
    CGFloat oneLine = synopsis->sizeThatFits({ INFINITY, INFINITY }).height;
    EXPECT_GT(wrapped.height, 2 * oneLine);
    EXPECT_EQ(synopsis->frame().size.width, 350);
    EXPECT_NEAR(synopsis->frame().size.height, wrapped.height, 0.34);
    EXPECT_NEAR(
        below->frame().origin.y, synopsis->frame().origin.y + synopsis->frame().size.height + 8, 1e-9);

    // New text: the label and what hangs below it follow.
    synopsis->setText("Short.");
    root->layoutIfNeeded();
    EXPECT_NEAR(synopsis->frame().size.height, oneLine, 0.34);
    EXPECT_NEAR(
        below->frame().origin.y, synopsis->frame().origin.y + synopsis->frame().size.height + 8, 1e-9);
}

TEST_F(LayoutSolverTest, ContainerTakesItsSizeFromItsContent)
{
    // A tag that sizes itself to its label, with insets 2 and 6.
    auto tag = add(root);
    auto label = add<UILabel>(tag);
    label->setFont(UIFont::systemFont(10));
    label->setText("热播");
    snp(tag).makeConstraints(
        [&](ConstraintMaker& make) { make.left().bottom().equalToSuperview().inset(24); });
    snp(label).makeConstraints([&](ConstraintMaker& make) {
        make.edges().equalToSuperview().inset(UIEdgeInsets { 2, 6, 2, 6 });
    });
    root->layoutIfNeeded();

    CGSize text = label->intrinsicContentSize();
    EXPECT_NEAR(tag->frame().size.width, text.width + 12, 0.34);
    EXPECT_NEAR(tag->frame().size.height, text.height + 4, 0.34);
    EXPECT_NEAR(tag->frame().origin.y + tag->frame().size.height, 844 - 24, 1e-9);
    EXPECT_TRUE(frameIs(*label, { 6, 2, label->frame().size.width, label->frame().size.height }));

    // The fitting size of a cell's content: width given, height from the content.
    auto content = UIView::create(CGRect { 0, 0, 100, 100 });
    auto body = add<UILabel>(content);
    body->setNumberOfLines(0);
    body->setText("Several words that wrap when the cell is only two hundred points wide, as it is here.");
    snp(body).makeConstraints([&](ConstraintMaker& make) { make.edges().equalToSuperview().inset(10); });
    CGSize fitted = systemLayoutSizeFitting(
        *content, { 200, 0 }, UILayoutPriorityRequired, UILayoutPriorityFittingSizeLevel);
    EXPECT_EQ(fitted.width, 200);
    EXPECT_NEAR(fitted.height, body->sizeThatFits({ 180, INFINITY }).height + 20, 0.34);
    EXPECT_TRUE(frameIs(*content, { 0, 0, 100, 100 }));
}

TEST_F(LayoutSolverTest, SafeAreaOfTheWindow)
{
    auto window = UIView::create<UIWindow>();
    auto page = add(window);
    auto card = add(window);
    snp(page).makeConstraints(
        [&](ConstraintMaker& make) { make.edges().equalTo(snp(window).safeAreaLayoutGuide()); });
    snp(card).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(window).safeAreaLayoutGuide().top()).offset(90);
        make.left().right().equalToSuperview().inset(34);
        make.bottom().equalTo(snp(window).safeAreaLayoutGuide()).offset(-12);
    });
    window->layoutIfNeeded();

    EXPECT_TRUE(frameIs(*page, { 0, 47, 390, 844 - 47 - 34 }));
    EXPECT_TRUE(frameIs(*card, { 34, 137, 322, 844 - 34 - 12 - 137 }));

    // Inside the page, whose own safe area is now clear of the bars.
    auto inner = add(page);
    snp(inner).makeConstraints(
        [&](ConstraintMaker& make) { make.edges().equalTo(snp(page).safeAreaLayoutGuide()); });
    window->layoutIfNeeded();
    EXPECT_TRUE(frameIs(*inner, { 0, 0, 390, 844 - 47 - 34 }));
}

TEST_F(LayoutSolverTest, ChangedConstantsApplyAtTheNextLayoutPass)
{
    auto card = add(root);
    std::shared_ptr<Constraint> top;
    snp(card).makeConstraints([&](ConstraintMaker& make) {
        top = make.top().equalToSuperview().offset(0.2 * 844).constraint();
        make.left().right().equalToSuperview().inset(32);
        make.height().equalTo(200);
    });
    root->layoutIfNeeded();
    EXPECT_NEAR(card->frame().origin.y, 506.0 / 3, 1e-9);
    EXPECT_FALSE(root->needsLayout());

    top->updateOffset(0.1 * 844);
    EXPECT_TRUE(root->needsLayout());
    EXPECT_NEAR(card->frame().origin.y, 506.0 / 3, 1e-9);
    root->layoutIfNeeded();
    EXPECT_NEAR(card->frame().origin.y, 253.0 / 3, 1e-9);

    // Hiding a box by giving its height constraint 0 pulls what follows up.
    auto box = add(root);
    auto strip = add(root);
    std::shared_ptr<Constraint> boxHeight;
    snp(box).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(17);
        make.left().right().equalToSuperview().inset(24);
        boxHeight = make.height().equalTo(39).constraint();
    });
    snp(strip).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(box).bottom()).offset(12);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview();
        make.height().equalTo(44);
    });
    root->layoutIfNeeded();
    EXPECT_EQ(strip->frame().origin.y, 68);
    boxHeight->layoutConstraints().front()->setConstant(0);
    root->layoutIfNeeded();
    EXPECT_EQ(strip->frame().origin.y, 29);
}

TEST_F(LayoutSolverTest, RemakeReplacesOnlyThatViewsConstraints)
{
    auto button = add(root);
    auto other = add(root);
    snp(other).makeConstraints([&](ConstraintMaker& make) {
        make.left().top().equalToSuperview();
        make.size().equalTo(CGSize { 20, 20 });
    });
    snp(button).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(other).bottom()).offset(40);
        make.centerX().equalToSuperview();
        make.size().equalTo(CGSize { 64, 64 });
    });
    root->layoutIfNeeded();
    EXPECT_TRUE(frameIs(*button, { 163, 60, 64, 64 }));
    std::size_t before = constraints(*root).size();

    snp(button).remakeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(other).bottom()).offset(100);
        make.right().equalToSuperview().inset(10);
        make.size().equalTo(CGSize { 30, 30 });
    });
    root->layoutIfNeeded();
    EXPECT_TRUE(frameIs(*button, { 350, 120, 30, 30 }));
    EXPECT_TRUE(frameIs(*other, { 0, 0, 20, 20 }));
    EXPECT_EQ(constraints(*root).size(), before);
    EXPECT_EQ(snp(button).constraints().size(), 3u);
}

TEST_F(LayoutSolverTest, ConflictingRequiredConstraintsBreakTheNewestOnceAndDeterministically)
{
    LogCapture log;
    auto run = [&]() {
        auto view = add(root);
        view->setAccessibilityIdentifier("clash");
        snp(view).makeConstraints([&](ConstraintMaker& make) {
            make.left().top().equalToSuperview();
            make.width().equalTo(100);
            make.height().equalTo(10);
        });
        snp(view).makeConstraints([&](ConstraintMaker& make) { make.width().equalTo(200); });
        root->layoutIfNeeded();
        CGRect frame = view->frame();
        root->setNeedsLayout();
        root->layoutIfNeeded();
        EXPECT_EQ(view->frame(), frame);
        view->removeFromSuperview();
        return frame;
    };
    CGRect first = run();
    CGRect second = run();
    EXPECT_EQ(first, CGRect(0, 0, 100, 10));
    EXPECT_EQ(second, first);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find("UIView'clash'.width == 200"), std::string::npos) << log.lines[0];
    EXPECT_EQ(log.lines[0], log.lines[1]);
}

TEST_F(LayoutSolverTest, ConstraintsDoNotKeepRemovedViewsAlive)
{
    std::weak_ptr<UIView> gone;
    std::shared_ptr<Constraint> kept;
    auto follower = add(root);
    {
        auto header = add(root);
        snp(header).makeConstraints([&](ConstraintMaker& make) {
            make.left().right().top().equalToSuperview();
            kept = make.height().equalTo(80).constraint();
        });
        snp(follower).makeConstraints([&](ConstraintMaker& make) {
            make.top().equalTo(snp(header).bottom());
            make.left().equalToSuperview();
            make.size().equalTo(CGSize { 10, 10 });
        });
        root->layoutIfNeeded();
        EXPECT_EQ(follower->frame().origin.y, 80);
        gone = header;
        header->removeFromSuperview();
    }
    EXPECT_TRUE(gone.expired());
    EXPECT_FALSE(kept->layoutConstraints().front()->firstItem().view());

    root->setNeedsLayout();
    root->layoutIfNeeded();
    // The constraint to the header went with it; the follower keeps its last place.
    EXPECT_TRUE(frameIs(*follower, { 0, 80, 10, 10 }));
    for (const auto& c : constraints(*root)) {
        EXPECT_TRUE(c->firstItem().view());
        EXPECT_TRUE(c->secondItem().isEmpty() || c->secondItem().view());
    }
}

TEST_F(LayoutSolverTest, StackViewsMeasureConstrainedViewsByTheirConstraints)
{
    // A centred row of buttons, each 44 high by constraint and as wide as its content.
    auto stack = add<UIStackView>(root);
    stack->setSpacing(10);
    auto first = UIView::create<ContentView>(CGSize { 60, 20 });
    auto second = UIView::create<ContentView>(CGSize { 90, 20 });
    stack->addArrangedSubview(first);
    stack->addArrangedSubview(second);
    snp(first).makeConstraints([&](ConstraintMaker& make) { make.height().equalTo(44); });
    snp(stack).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(25);
        make.centerX().equalToSuperview();
    });
    root->layoutIfNeeded();

    EXPECT_TRUE(frameIs(*stack, { 115, 25, 160, 44 }));
    EXPECT_TRUE(frameIs(*first, { 0, 0, 60, 44 }));
    EXPECT_TRUE(frameIs(*second, { 70, 0, 90, 44 }));
}

TEST_F(LayoutSolverTest, ConstraintsToAScrollViewsEdgesGiveItsContentSize)
{
    auto scroll = add<UIScrollView>(root);
    snp(scroll).makeConstraints([&](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    auto title = add<UILabel>(scroll);
    title->setNumberOfLines(0);
    title->setText("A title");
    auto synopsis = add<UILabel>(scroll);
    synopsis->setNumberOfLines(0);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "A synopsis long enough to need scrolling. ";
    synopsis->setText(text);
    // The title's width gives the content its width; the synopsis's bottom gives its height.
    snp(title).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(8);
        make.left().right().equalToSuperview().inset(24);
        make.width().equalTo(390 - 48);
    });
    snp(synopsis).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(title).bottom()).offset(16);
        make.left().right().bottom().equalToSuperview().inset(24);
    });
    root->layoutIfNeeded();

    EXPECT_TRUE(frameIs(*scroll, { 0, 0, 390, 844 }));
    EXPECT_EQ(synopsis->frame().size.width, 342);
    EXPECT_GT(synopsis->frame().size.height, 844);
    EXPECT_NEAR(scroll->contentSize().width, 390, 1e-9);
    EXPECT_NEAR(
        scroll->contentSize().height, synopsis->frame().origin.y + synopsis->frame().size.height + 24, 1e-9);

    // Scrolling moves the bounds, not the content's frames.
    scroll->setContentOffset({ 0, 300 });
    CGRect before = synopsis->frame();
    root->layoutIfNeeded();
    EXPECT_EQ(synopsis->frame(), before);
}

}
