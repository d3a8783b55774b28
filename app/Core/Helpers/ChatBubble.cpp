#include "app/Core/Helpers/ChatBubble.h"

#include "app/Extensions/LayoutConstants.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"

#include <algorithm>
#include <limits>

namespace {

constexpr UIEdgeInsets kTextInsets { 4, 8, 4, 8 };
constexpr CGFloat kSideMargin = 120; // the bubble stays this much narrower than the screen
constexpr CGFloat kImageQuoteExtra = 44; // room for the quoted picture's thumbnail
constexpr CGFloat kSpaceBelow = 10;
constexpr CGFloat kCornerRadius = 8;

// A label whose text keeps a margin from its edges, measured in as well.
class InsetLabel final : public UILabel {
public:
    explicit InsetLabel(UIEdgeInsets insets)
        : m_insets(insets)
    { }

    std::string className() const override { return "InsetLabel"; }

    CGSize sizeThatFits(CGSize size) const override
    {
        const CGFloat horizontal = m_insets.left + m_insets.right;
        const CGFloat vertical = m_insets.top + m_insets.bottom;
        CGSize inner = UILabel::sizeThatFits({ size.width - horizontal, size.height - vertical });
        return { inner.width + horizontal, inner.height + vertical };
    }

    void drawText(CGContext& context, const CGRect& rect) override
    {
        UILabel::drawText(context, rect.inset(m_insets));
    }

private:
    UIEdgeInsets m_insets;
};

}

UIImage chatBubbleImage(std::optional<MessageType> quotedKind, const StyledText& text,
    const UIColor& textColor, const UIColor& backgroundColor)
{
    auto label = UIView::create<InsetLabel>(kTextInsets);
    label->setNumberOfLines(0);
    label->setFont(UIFont::systemFont(12));
    label->setTextAlignment(NSTextAlignment::left);
    label->setAttributedText(text);
    label->setTextColor(textColor);

    // Long text wraps within the widest bubble instead of being cut to one line.
    const CGFloat maxWidth = screenWidth() - kSideMargin;
    CGSize fitted = label->sizeThatFits({ maxWidth, std::numeric_limits<CGFloat>::max() });
    const CGFloat width = std::min(fitted.width, maxWidth);
    const CGFloat height = fitted.height;
    label->setFrame({ 0, 0, width, height });

    CGFloat bubbleHeight = height;
    if (quotedKind == MessageType::mtImage)
        bubbleHeight += kImageQuoteExtra;
    auto bubble = UIView::create(CGRect { 0, 0, width, bubbleHeight });
    bubble->setBackgroundColor(backgroundColor);
    bubble->layer()->setCornerRadius(kCornerRadius);
    bubble->setClipsToBounds(true);
    bubble->addSubview(label);

    auto outer = UIView::create(CGRect { 0, 0, width, bubbleHeight + kSpaceBelow });
    outer->addSubview(bubble);

    // A renderer rather than the begin/end calls: a bitmap too large to make gives an empty image
    // and never draws into whatever context happens to be current.
    UIGraphicsImageRendererFormat format;
    format.scale = UIScreen::main().scale();
    format.opaque = false;
    return UIGraphicsImageRenderer(outer->bounds().size, format).image([&](CGContext& context) {
        outer->layer()->render(context);
    });
}
