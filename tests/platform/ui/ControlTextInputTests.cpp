#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/controls/UITextView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Takes digits only, answers return as told, records the delegate calls.
struct DigitsOnly : UITextFieldDelegate {
    std::vector<std::string> calls;
    std::vector<NSRange> ranges;
    bool allowReturn = true;
    bool textFieldShouldChangeCharacters(UITextField&, NSRange range, const std::string& replacement) override
    {
        ranges.push_back(range);
        return std::all_of(
            replacement.begin(), replacement.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    void textFieldDidBeginEditing(UITextField&) override { calls.push_back("begin"); }
    void textFieldDidEndEditing(UITextField&) override { calls.push_back("end"); }
    bool textFieldShouldReturn(UITextField&) override
    {
        calls.push_back("return");
        return allowReturn;
    }
};

class TextInput : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : { UIKeyboardNotification::WillShow, UIKeyboardNotification::DidShow,
                 UIKeyboardNotification::WillHide, UIKeyboardNotification::DidHide }) {
            tokens.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this](const Notification& n) { posted.push_back(n); }));
        }
    }
    void TearDown() override
    {
        for (auto token : tokens)
            NotificationCenter::defaultCenter().removeObserver(token);
        WindowTest::TearDown();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> list;
        for (const auto& n : posted)
            list.push_back(n.name);
        return list;
    }
    std::vector<NotificationCenter::Token> tokens;
    std::vector<Notification> posted;
};

TEST_F(TextInput, TypingGoesThroughTheDelegateAndSendsEditingEvents)
{
    auto field = add<UITextField>({ 20, 100, 300, 44 });
    field->setPlaceholder("手机号/用户名");
    auto delegate = std::make_shared<DigitsOnly>();
    field->setDelegate(delegate);
    int changes = 0, notices = 0;
    field->addAction(UIControlEventEditingChanged, [&](UIControl&) { ++changes; });
    auto token = NotificationCenter::defaultCenter().addObserver(
        UITextFieldNotification::TextDidChange, [&](const Notification&) { ++notices; }, nullptr,
        NotificationCenter::matchingObject<UITextField>(field.get()));

    EXPECT_FALSE(driver.type("1")) << "nothing is first responder yet";
    ASSERT_TRUE(driver.tapText("手机号/用户名"));
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(firstResponderInWindow(*window), field);

    driver.type("1");
    driver.type("a");
    driver.type("23");
    driver.type("中");
    EXPECT_EQ(field->text(), "123");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(notices, 2);
    ASSERT_EQ(delegate->ranges.size(), 4u);
    EXPECT_EQ(delegate->ranges[2], NSMakeRange(1, 0));
    driver.deleteBackward();
    EXPECT_EQ(delegate->ranges.back(), NSMakeRange(2, 1));
    EXPECT_EQ(field->text(), "12");

    // Return: the delegate decides; ending on exit needs an action for it.
    driver.pressReturn();
    EXPECT_TRUE(field->isFirstResponder());
    field->addAction(UIControlEventEditingDidEndOnExit, [](UIControl&) {});
    driver.pressReturn();
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(delegate->calls, (std::vector<std::string> { "begin", "return", "return", "end" }));

    // Text set in code sends nothing.
    field->setText("999");
    EXPECT_EQ(changes, 3) << "two typed edits and one deletion";
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(TextInput, KeyboardNotificationsCarryDurationAndScreenFrame)
{
    auto first = add<UITextField>({ 20, 100, 300, 44 });
    auto second = add<UITextField>({ 20, 200, 300, 44 });
    ASSERT_TRUE(first->becomeFirstResponder());
    EXPECT_TRUE(UIKeyboard::shared().isVisible());
    EXPECT_EQ(names(), (std::vector<std::string> { UIKeyboardNotification::WillShow }));
    advance(0.25);
    ASSERT_EQ(names(),
        (std::vector<std::string> { UIKeyboardNotification::WillShow, UIKeyboardNotification::DidShow }));
    for (const auto& n : posted) {
        EXPECT_EQ(std::any_cast<double>(n.userInfo.at(UIKeyboardNotification::AnimationDurationKey)), 0.25);
        EXPECT_EQ(std::any_cast<CGRect>(n.userInfo.at(UIKeyboardNotification::FrameEndKey)),
            (CGRect { 0, 844 - 336, 390, 336 }));
    }

    // Moving to another field shows the keyboard again, without hiding it.
    posted.clear();
    ASSERT_TRUE(second->becomeFirstResponder());
    EXPECT_FALSE(first->isFirstResponder());
    advance(1);
    EXPECT_EQ(names(),
        (std::vector<std::string> { UIKeyboardNotification::WillShow, UIKeyboardNotification::DidShow }));

    posted.clear();
    window->endEditing(true);
    advance(1);
    ASSERT_EQ(names(),
        (std::vector<std::string> { UIKeyboardNotification::WillHide, UIKeyboardNotification::DidHide }));
    EXPECT_EQ(std::any_cast<CGRect>(posted[0].userInfo.at(UIKeyboardNotification::FrameEndKey)),
        (CGRect { 0, 844, 390, 0 }));
    EXPECT_FALSE(UIKeyboard::shared().isVisible());

    // Showing and hiding at once: the stale did-show is not posted.
    posted.clear();
    first->becomeFirstResponder();
    first->resignFirstResponder();
    advance(1);
    EXPECT_EQ(names(),
        (std::vector<std::string> { UIKeyboardNotification::WillShow, UIKeyboardNotification::WillHide,
            UIKeyboardNotification::DidHide }));
}

// An input method's composition shows in the text but stays marked until it is committed; both
// steps are reported as changes, and a real edit or a text set in code ends the composition.
TEST_F(TextInput, MarkedTextStaysApartUntilCommitted)
{
    auto field = add<UITextField>({ 0, 0, 200, 40 });
    int changes = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        UITextFieldNotification::TextDidChange, [&](const Notification&) { ++changes; });
    field->insertText("看");
    field->setMarkedText("y");
    field->setMarkedText("yu");
    EXPECT_EQ(field->text(), "看yu");
    EXPECT_EQ(field->markedTextRange(), (NSRange { 1, 2 }));
    field->setMarkedText("雨");
    EXPECT_EQ(field->text(), "看雨");
    field->unmarkText();
    EXPECT_EQ(field->text(), "看雨");
    EXPECT_FALSE(field->markedTextRange());
    EXPECT_EQ(changes, 5);

    field->setMarkedText("ji");
    field->insertText("季");
    EXPECT_EQ(field->text(), "看雨ji季");
    EXPECT_FALSE(field->markedTextRange());
    field->setMarkedText("x");
    field->setText("");
    EXPECT_FALSE(field->markedTextRange());
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(TextInput, TextViewTypesLineBreaksAndReportsChanges)
{
    struct Watcher : UITextViewDelegate {
        std::vector<std::string> seen;
        void textViewDidChange(UITextView& view) override { seen.push_back(view.text()); }
        bool textViewShouldChangeText(UITextView&, NSRange, const std::string& text) override
        {
            return text != "!";
        }
    };
    auto view = add<UITextView>({ 20, 300, 300, 100 });
    auto watcher = std::make_shared<Watcher>();
    view->setDelegate(watcher);
    driver.tapView(*view);
    ASSERT_TRUE(view->isFirstResponder());
    driver.type("你好");
    driver.pressReturn();
    driver.type("!");
    driver.type("x");
    EXPECT_EQ(view->text(), "你好\nx");
    EXPECT_EQ(watcher->seen, (std::vector<std::string> { "你好", "你好\n", "你好\nx" }));
    EXPECT_TRUE(UIKeyboard::shared().isVisible());
    view->setEditable(false);
    EXPECT_FALSE(view->isFirstResponder());
    EXPECT_FALSE(UIKeyboard::shared().isVisible());
}

}
