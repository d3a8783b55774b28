#pragma once

#include "platform/ui/controls/UITextView.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

class QMUITextView;

// What a QMUITextView adds to the text view delegate.
class QMUITextViewDelegate : public UITextViewDelegate {
public:
    // The return key was pressed; true keeps the line break out of the text (the delegate handles
    // the key, e.g. sends the text). The default types the line break.
    virtual bool textViewShouldReturn(QMUITextView&) { return false; }
};

// A text view with a placeholder (drawn while the text is empty), a maximum text length and a
// maximum fitted height.
//
// The length counts user-perceived characters (an emoji or a letter with its accents is one).
// Typed or pasted text that would pass the limit is cut to what still fits, whole characters
// only; nothing is typed once the limit is reached. Setting the text through this class keeps its
// first characters up to the limit.
class QMUITextView : public UITextView {
public:
    static constexpr std::size_t noLengthLimit = std::numeric_limits<std::size_t>::max();

    QMUITextView();
    explicit QMUITextView(const CGRect& frame);

    std::string className() const override { return "QMUITextView"; }

    // Cut to maximumTextLength.
    void setText(std::string text);

    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder);
    // Default: the configuration's placeholderColor.
    const UIColor& placeholderColor() const { return m_placeholderColor; }
    void setPlaceholderColor(UIColor color);

    std::size_t maximumTextLength() const { return m_maximumTextLength; }
    // Cuts the current text when it is longer.
    void setMaximumTextLength(std::size_t length);
    // The fitted height never passes it (default: no limit).
    CGFloat maximumHeight() const { return m_maximumHeight; }
    void setMaximumHeight(CGFloat height);

    // Length of the current text as the limit counts it.
    std::size_t textLength() const;

    void insertText(const std::string& text) override;
    CGSize sizeThatFits(CGSize size) const override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

private:
    std::string m_placeholder;
    UIColor m_placeholderColor;
    std::size_t m_maximumTextLength = noLengthLimit;
    CGFloat m_maximumHeight = std::numeric_limits<CGFloat>::infinity();
};
