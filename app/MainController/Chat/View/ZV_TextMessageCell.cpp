#include "app/MainController/Chat/View/ZV_TextMessageCell.h"

#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Chat/View/ChatLongPress.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_TextMessageCell::ZV_TextMessageCell()
{
    // The thumbnail sits in the quote box's extra room, over the bubble's text.
    const auto& thumbnail = imageView();
    messageContainerView()->addSubview(thumbnail);
    snp(*thumbnail).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(30);
        make.left().equalToSuperview().offset(24);
        make.size().equalTo(CGSize { 40, 40 });
    });
    addAvatarLongPress(*avatarView());
    addContainerLongPress(*messageContainerView());
}

const std::shared_ptr<UIImageView>& ZV_TextMessageCell::imageView()
{
    if (!m_imageView) {
        m_imageView = std::make_shared<UIImageView>();
        m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
        makeCorner(*m_imageView, 4);
        m_imageView->setHidden(true);
    }
    return m_imageView;
}

void ZV_TextMessageCell::setModel(std::optional<Message> model)
{
    m_model = std::move(model);
    const auto& thumbnail = imageView();
    if (!m_model || m_model->message_type() != MT_IMAGE) {
        thumbnail->setHidden(true);
        return;
    }
    thumbnail->setHidden(false);
    const std::string& url = m_model->message_content();
    if (parsesAsURL(url)) {
        sd_setImage(*thumbnail, url, UIImage::named("placeholder_nor"));
    } else {
        sd_cancelCurrentImageLoad(*thumbnail);
        thumbnail->setImage(UIImage::named("placeholder_nor"));
    }
}

void ZV_TextMessageCell::addAvatarLongPress(UIView& view)
{
    installMessageLongPress(view,
        [this](UILongPressGestureRecognizer& gesture) { messageAvatarViewHandlerWithGesture(gesture); });
}

void ZV_TextMessageCell::addContainerLongPress(UIView& view)
{
    installMessageLongPress(
        view, [this](UILongPressGestureRecognizer& gesture) { messageContainerHandlerWithGesture(gesture); });
}

void ZV_TextMessageCell::messageAvatarViewHandlerWithGesture(UILongPressGestureRecognizer& gesture)
{
    if (gesture.state() == UIGestureRecognizerState::began && messageAvatarViewBlock)
        messageAvatarViewBlock();
}

void ZV_TextMessageCell::messageContainerHandlerWithGesture(UILongPressGestureRecognizer& gesture)
{
    if (gesture.state() == UIGestureRecognizerState::began && messageContainerViewBlock)
        messageContainerViewBlock();
}
