#include "platform/ui/messages/AvatarView.h"

#include "platform/ui/CALayer.h"

namespace MessageKit {

AvatarView::AvatarView()
{
    setBackgroundColor(UIColor::lightGray());
    setContentMode(UIViewContentMode::scaleAspectFill);
    setClipsToBounds(true);
}

void AvatarView::layoutSubviews()
{
    UIImageView::layoutSubviews();
    layer()->setCornerRadius(bounds().width() / 2);
}

}
