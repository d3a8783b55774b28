#include "platform/ui/messages/MessageContainerView.h"

#include "platform/ui/CALayer.h"

#include <algorithm>

namespace MessageKit {

MessageContainerView::MessageContainerView()
{
    setClipsToBounds(true);
    setUserInteractionEnabled(true);
}

void MessageContainerView::layoutSubviews()
{
    UIImageView::layoutSubviews();
    layer()->setCornerRadius(std::min(maximumCornerRadius, bounds().height() / 2));
}

MessageLabel::MessageLabel()
{
    setNumberOfLines(0);
}

void MessageLabel::drawText(CGContext& context, const CGRect& rect)
{
    UILabel::drawText(context, rect.inset(textInsets));
}

}
