#pragma once

#include "platform/text/NSRange.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIKeyInput.h"
#include "platform/ui/controls/UITextField.h"

#include <memory>
#include <string>

class UITextView;

// Names of the text view notifications (object: the view, as UITextView*).
namespace UITextViewNotification {
inline constexpr const char* TextDidBeginEditing = "UITextViewTextDidBeginEditingNotification";
inline constexpr const char* TextDidChange = "UITextViewTextDidChangeNotification";
inline constexpr const char* TextDidEndEditing = "UITextViewTextDidEndEditingNotification";
}

// What a text view asks and tells its delegate; every method has the platform's default.
class UITextViewDelegate {
public:
    virtual ~UITextViewDelegate() = default;
    virtual bool textViewShouldBeginEditing(UITextView&) { return true; }
    virtual void textViewDidBeginEditing(UITextView&) { }
    virtual bool textViewShouldEndEditing(UITextView&) { return true; }
    virtual void textViewDidEndEditing(UITextView&) { }
    // `range` counts UTF-16 code units of the current text.
    virtual bool textViewShouldChangeText(UITextView&, NSRange /*range*/, const std::string& /*replacement*/)
    {
        return true;
    }
    virtual void textViewDidChange(UITextView&) { }
};

// Several lines of text, wrapped at the width and drawn from the top within the container inset.
// When editable, a tap makes it first responder; typing goes to the end of the text and the
// return key types a line break. Each edit is offered to the delegate, then reported with
// textViewDidChange and the text-did-change notification.
class UITextView : public UIView, public UIKeyInput {
public:
    // Space between the container inset and the text on both sides, as on the phone.
    static constexpr CGFloat lineFragmentPadding = 5;

    UITextView();
    explicit UITextView(const CGRect& frame);

    std::string className() const override { return "UITextView"; }

    const std::string& text() const { return m_text; }
    void setText(std::string text);
    const UIFont& font() const { return m_font; }
    void setFont(UIFont font);
    const UIColor& textColor() const { return m_textColor; }
    void setTextColor(UIColor color);
    NSTextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(NSTextAlignment alignment);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    UIEdgeInsets textContainerInset() const { return m_inset; }
    void setTextContainerInset(UIEdgeInsets inset);
    // With scrolling on, text taller than the view shows its end (where typing goes); off, its
    // beginning. On by default.
    // What the keyboard's return key says.
    UIReturnKeyType returnKeyType = UIReturnKeyType::standard;
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);

    std::shared_ptr<UITextViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UITextViewDelegate> delegate) { m_delegate = std::move(delegate); }

    bool isEditing() const { return m_editing; }

    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    // Replaces a UTF-16 range as typing would. Returns whether the change was made.
    bool replace(NSRange range, const std::string& replacement);

    // The rectangle the text is laid out in.
    CGRect textRect() const;
    CGSize sizeThatFits(CGSize size) const override;
    void draw(CGContext& context, const CGRect& rect) override;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

    std::string dumpAttributes() const override;

private:
    void post(const char* name);

    std::string m_text;
    UIFont m_font = UIFont::systemFont(12);
    UIColor m_textColor = UIColor::label();
    NSTextAlignment m_alignment = NSTextAlignment::natural;
    bool m_editable = true;
    bool m_editing = false;
    bool m_scrollEnabled = true;
    UIEdgeInsets m_inset { 8, 0, 8, 0 };
    std::weak_ptr<UITextViewDelegate> m_delegate;
};
