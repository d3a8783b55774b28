#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<UIView> box(CGFloat w, CGFloat h)
{
    return std::make_shared<UIView>(CGRect { 0, 0, w, h });
}

TEST(ControlStackView, FillGivesSpareSpaceToTheFlexibleViewAndHiddenViewsTakeNone)
{
    auto stack = std::make_shared<UIStackView>(CGRect { 0, 0, 200, 300 });
    stack->setAxis(UILayoutConstraintAxis::vertical);
    stack->setSpacing(16);
    auto a = box(100, 40);
    auto b = box(100, 50);
    auto c = box(100, 60);
    for (auto& v : { a, b, c })
        stack->addArrangedSubview(v);
    stack->layoutIfNeeded();
    // None has an intrinsic height: the first takes what is left.
    EXPECT_EQ(a->frame(), (CGRect { 0, 0, 200, 300 - 50 - 60 - 32 }));
    EXPECT_EQ(c->frame(), (CGRect { 0, 240, 200, 60 }));

    b->setHidden(true);
    EXPECT_TRUE(stack->needsLayout()) << "hiding an arranged view lays the stack out again";
    a->setFrame({ 0, 0, 100, 40 });
    stack->layoutIfNeeded();
    EXPECT_EQ(c->frame().minY(), a->frame().maxY() + 16);
    EXPECT_EQ(stack->intrinsicContentSize().height, a->frame().height() + 16 + 60);
}

}

namespace {

TEST(ControlStackView, ArrangedViewsPlacedByConstraintsKeepTheirConstrainedSize)
{
    // As the password page builds it: a vertical stack of two fields 50 high, the stack pinned
    // into its page by constraints.
    auto page = std::make_shared<UIView>(CGRect { 0, 0, 390, 844 });
    auto stack = std::make_shared<UIStackView>();
    stack->setAxis(UILayoutConstraintAxis::vertical);
    stack->setSpacing(16);
    page->addSubview(stack);
    std::vector<std::shared_ptr<UITextField>> fields;
    for (const char* placeholder : { "请设置新密码", "再次输入新密码" }) {
        auto field = std::make_shared<UITextField>();
        field->setPlaceholder(placeholder);
        stack->addArrangedSubview(field);
        snp(*field).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(50); });
        fields.push_back(field);
    }
    snp(*stack).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.top().equalToSuperview().offset(100);
    });
    page->layoutIfNeeded();
    EXPECT_EQ(stack->frame(), (CGRect { 24, 100, 342, 116 }));
    EXPECT_EQ(fields[0]->frame(), (CGRect { 0, 0, 342, 50 }));
    EXPECT_EQ(fields[1]->frame(), (CGRect { 0, 66, 342, 50 }));

    // Another pass of the page does not disturb the stack's placement.
    page->setNeedsLayout();
    page->layoutIfNeeded();
    EXPECT_EQ(fields[1]->frame(), (CGRect { 0, 66, 342, 50 }));
}

}

namespace {

TEST(ControlStackView, AStackPlacedByConstraintsGrowsWithAnArrangedLabelsText)
{
    // A dot and a count, the stack pinned only by its left and centre: laid out once with a short
    // count, then with longer ones (nested in a second stack too).
    auto page = std::make_shared<UIView>(CGRect { 0, 0, 390, 54 });
    auto outer = std::make_shared<UIStackView>();
    auto stack = std::make_shared<UIStackView>();
    auto dot = box(6, 6);
    auto count = std::make_shared<UILabel>();
    count->setFont(UIFont::systemFont(12));
    count->setText("0人在线");
    stack->setSpacing(4);
    stack->addArrangedSubview(dot);
    stack->addArrangedSubview(count);
    outer->addArrangedSubview(stack);
    page->addSubview(outer);
    snp(*dot).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 6, 6 }); });
    snp(*outer).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(70);
        make.centerY().equalToSuperview();
    });
    page->layoutIfNeeded();
    for (const char* text : { "36人在线", "12036人在线", "5人在线" }) {
        count->setText(text);
        page->layoutIfNeeded();
        EXPECT_EQ(count->frame().width(), count->intrinsicContentSize().width) << text;
        EXPECT_EQ(outer->frame().width(), 6 + 4 + count->intrinsicContentSize().width) << text;
    }
}

}
