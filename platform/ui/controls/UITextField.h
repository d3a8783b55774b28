#pragma once

#include "platform/text/NSRange.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/controls/UIControl.h"
#include "platform/ui/controls/UIKeyInput.h"

#include <memory>
#include <optional>
#include <string>

class UITextField;

enum class UIKeyboardType {
    standard,
    asciiCapable,
    numbersAndPunctuation,
    URL,
    numberPad,
    phonePad,
    emailAddress,
    decimalPad,
    webSearch
};
enum class UIReturnKeyType { standard, go, search, send, done, next, join };
enum class UITextFieldViewMode { never, whileEditing, unlessEditing, always };

// Names of the text field notifications (object: the field, as UITextField*).
namespace UITextFieldNotification {
inline constexpr const char* TextDidBeginEditing = "UITextFieldTextDidBeginEditingNotification";
inline constexpr const char* TextDidChange = "UITextFieldTextDidChangeNotification";
inline constexpr const char* TextDidEndEditing = "UITextFieldTextDidEndEditingNotification";
}

// What a text field asks and tells its delegate; every method has the platform's default.
class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(UITextField&) { return true; }
    virtual void textFieldDidBeginEditing(UITextField&) { }
    virtual bool textFieldShouldEndEditing(UITextField&) { return true; }
    virtual void textFieldDidEndEditing(UITextField&) { }
    // `range` counts UTF-16 code units of the current text.
    virtual bool textFieldShouldChangeCharacters(
        UITextField&, NSRange /*range*/, const std::string& /*replacement*/)
    {
        return true;
    }
    virtual bool textFieldShouldClear(UITextField&) { return true; }
    virtual bool textFieldShouldReturn(UITextField&) { return true; }
};

// One line of editable text. Typing goes to the end of the text (there is no caret movement);
// each edit is offered to the delegate first, then sends editing-changed and posts the
// text-did-change notification. Setting `text` in code does neither. Tapping the field makes it
// first responder (which shows the keyboard); the return key asks the delegate and sends
// editing-did-end-on-exit, which ends editing when it has actions.
class UITextField : public UIControl, public UIKeyInput {
public:
    static constexpr CGFloat clearButtonSize = 19;

    UITextField();
    explicit UITextField(const CGRect& frame);

    std::string className() const override { return "UITextField"; }

    const std::string& text() const { return m_text; }
    void setText(std::string text);
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder);
    const std::optional<StyledText>& attributedPlaceholder() const { return m_attributedPlaceholder; }
    void setAttributedPlaceholder(std::optional<StyledText> placeholder);
    const UIFont& font() const { return m_font; }
    void setFont(UIFont font);
    const UIColor& textColor() const { return m_textColor; }
    void setTextColor(UIColor color);
    NSTextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(NSTextAlignment alignment);
    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure);
    UIKeyboardType keyboardType = UIKeyboardType::standard;
    UIReturnKeyType returnKeyType = UIReturnKeyType::standard;
    UITextFieldViewMode clearButtonMode = UITextFieldViewMode::never;

    // Views beside the text, shown by their modes.
    const std::shared_ptr<UIView>& leftView() const { return m_leftView; }
    void setLeftView(std::shared_ptr<UIView> view);
    UITextFieldViewMode leftViewMode = UITextFieldViewMode::never;
    const std::shared_ptr<UIView>& rightView() const { return m_rightView; }
    void setRightView(std::shared_ptr<UIView> view);
    UITextFieldViewMode rightViewMode = UITextFieldViewMode::never;
    // Shown in place of the keys while editing (a picker, say), at the bottom of the field's
    // window; the keyboard's notifications then report its height.
    std::shared_ptr<UIView> inputView() const override { return m_inputView; }
    void setInputView(std::shared_ptr<UIView> view) { m_inputView = std::move(view); }

    std::shared_ptr<UITextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UITextFieldDelegate> delegate) { m_delegate = std::move(delegate); }

    bool isEditing() const { return m_editing; }

    // ---- First responder ----
    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    // ---- Typing ----
    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    // Replaces a UTF-16 range of the text as typing would (asks the delegate, sends the events).
    // Returns whether the change was made.
    bool replace(NSRange range, const std::string& replacement);
    // The return key: asks the delegate, sends editing-did-end-on-exit.
    void pressReturn();
    // The clear button: asks the delegate, empties the text as an edit.
    void clear();

    // ---- Marked text ----
    // An input method's composition: text shown at the end of the field but not yet committed.
    // The marked part of the text, none when nothing is marked.
    std::optional<NSRange> markedTextRange() const;
    // Replaces the marked part (or, with none, adds at the end) with `text`, marked; reported as
    // an edit without asking the delegate. Empty text ends the composition.
    void setMarkedText(const std::string& text);
    // Commits the composition: its text stays, unmarked, and the change is reported.
    void unmarkText();

    // ---- Geometry and drawing ----
    virtual CGRect textRectForBounds(const CGRect& bounds) const;
    virtual CGRect editingRectForBounds(const CGRect& bounds) const;
    virtual CGRect placeholderRectForBounds(const CGRect& bounds) const;
    virtual CGRect clearButtonRectForBounds(const CGRect& bounds) const;
    virtual CGRect leftViewRectForBounds(const CGRect& bounds) const;
    virtual CGRect rightViewRectForBounds(const CGRect& bounds) const;
    virtual void drawText(CGContext& context, const CGRect& rect);
    virtual void drawPlaceholder(CGContext& context, const CGRect& rect);

    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void draw(CGContext& context, const CGRect& rect) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    std::string dumpAttributes() const override;

    // The text as drawn: bullets for secure entry.
    std::string displayedText() const;

private:
    bool isShown(UITextFieldViewMode mode) const;
    bool showsClearButton() const;
    void post(const char* name);
    void contentDidChange();

    std::string m_text;
    // Byte offset where the marked part starts; it always runs to the end of the text.
    std::optional<std::size_t> m_markedStart;
    std::string m_placeholder;
    std::optional<StyledText> m_attributedPlaceholder;
    UIFont m_font = UIFont::systemFont(17);
    UIColor m_textColor = UIColor::label();
    NSTextAlignment m_alignment = NSTextAlignment::natural;
    bool m_secure = false;
    bool m_editing = false;
    std::shared_ptr<UIView> m_leftView;
    std::shared_ptr<UIView> m_rightView;
    std::shared_ptr<UIView> m_inputView;
    std::weak_ptr<UITextFieldDelegate> m_delegate;
};

namespace detail {
// UTF-16 length of UTF-8 text, and the byte offset of a UTF-16 offset (clamped to the text).
std::size_t utf16Count(const std::string& text);
std::size_t byteOffsetOfUtf16(const std::string& text, std::size_t offset);
// The UTF-16 range of the last code point (empty range at 0 for empty text).
NSRange lastCharacterRange(const std::string& text);
}
