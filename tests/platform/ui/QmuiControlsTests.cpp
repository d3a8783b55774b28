#include "platform/ui/CAAnimation.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUIPieProgressView.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class QmuiControls : public uitest::ControllerTest { };

UIImage square(CGFloat side)
{
    return UIImage::filled(UIColor::red(), { side, side });
}

class RecordingDelegate : public QMUITextViewDelegate {
public:
    bool handlesReturn = false;
    int returns = 0;
    std::vector<std::string> changes;

    bool textViewShouldReturn(QMUITextView&) override
    {
        ++returns;
        return handlesReturn;
    }
    void textViewDidChange(UITextView& view) override { changes.push_back(view.text()); }
};

}

TEST_F(QmuiControls, LabelInsetsGrowTheFittedSizeAndInsetTheText)
{
    auto plain = UIView::create<UILabel>();
    auto label = UIView::create<QMUILabel>();
    for (UILabel* l : { plain.get(), static_cast<UILabel*>(label.get()) }) {
        l->setFont(UIFont::systemFont(12));
        l->setText("这里什么都没有，换个词试试吧");
    }
    label->setContentEdgeInsets({ 4, 8, 4, 8 });
    CGSize text = plain->sizeThatFits({});
    EXPECT_EQ(label->sizeThatFits({}), (CGSize { text.width + 16, text.height + 8 }));
    EXPECT_EQ(label->intrinsicContentSize(), label->sizeThatFits({}));

    // Several lines wrap within the given width less the insets.
    plain->setNumberOfLines(0);
    label->setNumberOfLines(0);
    CGSize wrapped = plain->sizeThatFits({ 60, 0 });
    CGSize fitted = label->sizeThatFits({ 76, 0 });
    EXPECT_EQ(fitted, (CGSize { wrapped.width + 16, wrapped.height + 8 }));
    EXPECT_GT(fitted.height, text.height + 8);

    // An empty label is its insets.
    label->setText("");
    EXPECT_EQ(label->sizeThatFits({}), (CGSize { 16, 8 }));

    // Drawn inside the insets: nothing of the text in the left inset.
    label->setNumberOfLines(1);
    label->setText("标签");
    label->setTextColor(UIColor::black());
    label->setBackgroundColor(UIColor::white());
    label->sizeToFit();
    UIImage image = Renderer::render(*label, 1);
    bool inkInInset = false;
    for (int y = 0; y < image.pixelHeight(); ++y) {
        for (int x = 0; x < 8; ++x)
            inkInInset |= image.pixel(x, y).red < 0.9;
    }
    EXPECT_FALSE(inkInInset);
    bool inkInside = false;
    for (int x = 8; x < image.pixelWidth() - 8; ++x)
        inkInside |= image.pixel(x, image.pixelHeight() / 2).red < 0.5;
    EXPECT_TRUE(inkInside);
}

TEST_F(QmuiControls, ButtonPlacesItsImageOnEachSideWithTheSpacing)
{
    auto button = UIView::create<QMUIButton>();
    button->setFont(UIFont::systemFont(12));
    button->setTitle("简介");
    button->setImage(square(20));
    CGSize title = TextLayout::measure("简介", UIFont::systemFont(12));
    title.height = std::max(title.height, std::ceil(UIFont::systemFont(12).lineHeight()));

    button->setImagePosition(QMUIButtonImagePosition::right);
    button->setSpacingBetweenImageAndTitle(4);
    button->setContentEdgeInsets({ 8, 20, 8, 10 });
    CGSize size = button->sizeThatFits({});
    EXPECT_EQ(size, (CGSize { 20 + title.width + 4 + 20 + 10, std::max<CGFloat>(20, title.height) + 16 }));
    button->setFrame({ { 0, 0 }, size });
    button->layoutIfNeeded();
    CGRect titleFrame = button->titleLabel()->frame();
    CGRect imageFrame = button->imageView()->frame();
    EXPECT_EQ(titleFrame.minX(), 20);
    EXPECT_EQ(imageFrame.minX(), titleFrame.maxX() + 4);

    // Image above the title, 8 between them.
    button->setImagePosition(QMUIButtonImagePosition::top);
    button->setSpacingBetweenImageAndTitle(8);
    button->setContentEdgeInsets({});
    size = button->sizeThatFits({});
    EXPECT_EQ(size, (CGSize { std::max<CGFloat>(20, title.width), 20 + 8 + title.height }));
    button->setFrame({ 0, 0, 74, 60 });
    button->layoutIfNeeded();
    imageFrame = button->imageView()->frame();
    titleFrame = button->titleLabel()->frame();
    EXPECT_EQ(imageFrame.size, (CGSize { 20, 20 }));
    EXPECT_EQ(titleFrame.minY(), imageFrame.maxY() + 8);
    EXPECT_NEAR(imageFrame.midX(), 37, 0.5);
    EXPECT_NEAR(titleFrame.midX(), 37, 0.5);
    EXPECT_EQ(imageFrame.minY(), std::floor((60 - size.height) / 2));

    // Below and left mirror the two.
    button->setImagePosition(QMUIButtonImagePosition::bottom);
    button->layoutIfNeeded();
    EXPECT_EQ(button->imageView()->frame().minY(), button->titleLabel()->frame().maxY() + 8);
    button->setImagePosition(QMUIButtonImagePosition::left);
    button->layoutIfNeeded();
    EXPECT_EQ(button->titleLabel()->frame().minX(), button->imageView()->frame().maxX() + 8);

    // No spacing without a title.
    button->setTitle(std::nullopt);
    EXPECT_EQ(button->sizeThatFits({}), (CGSize { 20, 20 }));
}

TEST_F(QmuiControls, ButtonDimsWhileHighlightedOrDisabledUnlessItHasAHighlightColour)
{
    auto& config = QMUIConfiguration::sharedInstance();
    auto button = UIView::create<QMUIButton>(CGRect { 0, 0, 200, 40 });
    button->setHighlighted(true);
    EXPECT_EQ(button->alpha(), config.buttonHighlightedAlpha);
    button->setHighlighted(false);
    EXPECT_EQ(button->alpha(), 1);
    button->setEnabled(false);
    EXPECT_EQ(button->alpha(), config.buttonDisabledAlpha);
    button->setEnabled(true);
    EXPECT_EQ(button->alpha(), 1);

    button->setHighlightedBackgroundColor(UIColor::blue());
    button->layer()->setBorderColor(UIColor::green());
    button->setHighlightedBorderColor(UIColor::red());
    EXPECT_FALSE(button->adjustsButtonWhenHighlighted());
    button->setHighlighted(true);
    EXPECT_EQ(button->alpha(), 1);
    EXPECT_EQ(button->layer()->borderColor(), UIColor::red());
    UIImage pressed = Renderer::render(*button, 1);
    EXPECT_EQ(pressed.pixel(100, 20), UIColor::blue().rgba());
    button->setHighlighted(false);
    EXPECT_EQ(button->layer()->borderColor(), UIColor::green());
    EXPECT_EQ(Renderer::render(*button, 1).pixel(100, 20).alpha, 0);

    // A capsule follows the height.
    button->setCornerRadius(QMUIButtonCornerRadiusAdjustsBounds);
    button->setFrame({ 0, 0, 120, 30 });
    button->layoutIfNeeded();
    EXPECT_EQ(button->layer()->cornerRadius(), 15);

    // The tint colours the title and turns the image into a template.
    button->setTitle("全选");
    button->setImage(square(10));
    button->setTintColorAdjustsTitleAndImage(UIColor::green());
    button->layoutIfNeeded();
    EXPECT_EQ(button->titleLabel()->textColor(), UIColor::green());
    EXPECT_EQ(button->imageView()->image()->renderingMode(), UIImageRenderingMode::alwaysTemplate);
}

TEST_F(QmuiControls, TextViewKeepsTypedAndSetTextWithinTheMaximumLength)
{
    auto textView = UIView::create<QMUITextView>(CGRect { 0, 0, 300, 120 });
    window->addSubview(textView);
    auto delegate = std::make_shared<RecordingDelegate>();
    textView->setDelegate(delegate);
    textView->setMaximumTextLength(5);

    ASSERT_TRUE(textView->becomeFirstResponder());
    TouchDriver touch;
    touch.type("abc");
    touch.type("defgh");
    EXPECT_EQ(textView->text(), "abcde");
    EXPECT_EQ(delegate->changes.back(), "abcde");
    // At the limit, typing is refused and nothing is reported.
    std::size_t reports = delegate->changes.size();
    touch.type("x");
    EXPECT_EQ(textView->text(), "abcde");
    EXPECT_EQ(delegate->changes.size(), reports);
    touch.deleteBackward(2);
    touch.type("一二三");
    EXPECT_EQ(textView->text(), "abc一二");

    // A character made of several code points counts once and is never cut apart.
    textView->setText("");
    touch.type("a\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"
               "bcdef"); // a, thumbs up with skin tone, b...
    EXPECT_EQ(textView->text(),
        "a\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"
        "bcd");
    EXPECT_EQ(textView->textLength(), 5u);

    // Setting the text keeps its beginning; lowering the limit cuts the current text.
    textView->setText("1234567");
    EXPECT_EQ(textView->text(), "12345");
    textView->setMaximumTextLength(3);
    EXPECT_EQ(textView->text(), "123");

    // A paste of 200 characters into the 180-character feedback field keeps 180.
    textView->setMaximumTextLength(180);
    textView->setText("");
    touch.type(std::string(200, 'x'));
    EXPECT_EQ(textView->text(), std::string(180, 'x'));
    EXPECT_EQ(delegate->changes.back(), std::string(180, 'x'));
    // Deleting everything is reported with the empty text.
    textView->setText("a");
    touch.deleteBackward();
    EXPECT_EQ(delegate->changes.back(), "");
}

TEST_F(QmuiControls, TextViewAsksTheDelegateAboutTheReturnKeyAndDrawsItsPlaceholder)
{
    auto textView = UIView::create<QMUITextView>(CGRect { 0, 0, 200, 60 });
    window->addSubview(textView);
    auto delegate = std::make_shared<RecordingDelegate>();
    textView->setDelegate(delegate);
    ASSERT_TRUE(textView->becomeFirstResponder());
    TouchDriver touch;
    touch.type("hi");
    touch.pressReturn();
    EXPECT_EQ(textView->text(), "hi\n");
    delegate->handlesReturn = true;
    touch.pressReturn();
    EXPECT_EQ(textView->text(), "hi\n");
    EXPECT_EQ(delegate->returns, 2);

    // The placeholder shows in its colour only while the text is empty.
    textView->resignFirstResponder();
    textView->setText("");
    textView->setFont(UIFont::systemFont(14));
    textView->setTextContainerInset({ 16, 24, 16, 24 });
    textView->setPlaceholder("请输入文字");
    textView->setPlaceholderColor(UIColor::red());
    textView->setBackgroundColor(UIColor::white());
    auto hasRed = [](const UIImage& image) {
        for (int y = 0; y < image.pixelHeight(); ++y) {
            for (int x = 0; x < image.pixelWidth(); ++x) {
                auto p = image.pixel(x, y);
                if (p.red > 0.8 && p.green < 0.5 && p.blue < 0.5)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasRed(Renderer::render(*textView, 1)));
    textView->setText("x");
    EXPECT_FALSE(hasRed(Renderer::render(*textView, 1)));

    // The fitted height stops at the maximum height.
    textView->setText(std::string(400, 'w'));
    EXPECT_GT(textView->sizeThatFits({ 200, 1000 }).height, 120);
    textView->setMaximumHeight(120);
    EXPECT_EQ(textView->sizeThatFits({ 200, 1000 }).height, 120);
}

TEST_F(QmuiControls, PieProgressFillsClockwiseFromTheTop)
{
    auto pie = UIView::create<QMUIPieProgressView>(CGRect { 0, 0, 24, 24 });
    pie->setTintColor(UIColor::white());
    pie->setBorderInset(1);
    pie->setProgress(1.5);
    EXPECT_EQ(pie->progress(), 1);
    pie->setProgress(-1);
    EXPECT_EQ(pie->progress(), 0);

    pie->setProgress(0.25, true);
    auto animation = std::dynamic_pointer_cast<CABasicAnimation>(pie->layer()->animation("progress"));
    ASSERT_TRUE(animation);
    EXPECT_EQ(std::get<CGFloat>(animation->toValue), 0.25);

    auto backdrop = UIView::create(CGRect { 0, 0, 24, 24 });
    backdrop->setBackgroundColor(UIColor::black());
    backdrop->addSubview(pie);
    UIImage image = Renderer::render(*backdrop, 1);
    // A quarter: the upper right is white, the other three quarters stay dark inside the ring.
    EXPECT_GT(image.pixel(16, 7).red, 0.9);
    EXPECT_LT(image.pixel(7, 7).red, 0.1);
    EXPECT_LT(image.pixel(7, 16).red, 0.1);
    EXPECT_LT(image.pixel(16, 16).red, 0.1);
    // The ring itself.
    EXPECT_GT(image.pixel(12, 0).red, 0.4);
}
