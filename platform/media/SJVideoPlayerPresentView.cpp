#include "platform/media/SJVideoPlayerPresentView.h"

#include "platform/media/SJPlayerViews.h"

namespace {

UIViewContentMode contentModeFor(AVLayerVideoGravity gravity)
{
    switch (gravity) {
    case AVLayerVideoGravity::resizeAspectFill:
        return UIViewContentMode::scaleAspectFill;
    case AVLayerVideoGravity::resize:
        return UIViewContentMode::scaleToFill;
    case AVLayerVideoGravity::resizeAspect:
        break;
    }
    return UIViewContentMode::scaleAspectFit;
}

}

SJVideoPlayerPresentView::SJVideoPlayerPresentView()
    : m_pictureView(std::make_shared<UIImageView>())
    , m_placeholderImageView(std::make_shared<UIImageView>())
    , m_controlView(std::make_shared<SJFillingView>())
{
    setBackgroundColor(UIColor::black());
    setClipsToBounds(true);
    m_pictureView->setContentMode(contentModeFor(m_gravity));
    m_pictureView->setClipsToBounds(true);
    m_pictureView->setUserInteractionEnabled(false);
    m_placeholderImageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_placeholderImageView->setClipsToBounds(true);
    m_placeholderImageView->setUserInteractionEnabled(false);
}

void SJVideoPlayerPresentView::attachParts()
{
    // A view cannot take subviews while it is being made (it has no owner yet): its parts go in
    // when it is first placed or used.
    if (m_attached || weak_from_this().expired())
        return;
    m_attached = true;
    insertSubview(m_pictureView, 0);
    insertSubview(m_placeholderImageView, 1);
    insertSubview(m_controlView, 2);
}

void SJVideoPlayerPresentView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachParts();
}

const std::shared_ptr<UIImageView>& SJVideoPlayerPresentView::placeholderImageView()
{
    attachParts();
    return m_placeholderImageView;
}

const std::shared_ptr<UIView>& SJVideoPlayerPresentView::controlView()
{
    attachParts();
    return m_controlView;
}

void SJVideoPlayerPresentView::hidePlaceholderImageViewAnimated(bool animated)
{
    if (!animated) {
        m_placeholderImageView->setHidden(true);
        return;
    }
    std::weak_ptr<UIImageView> placeholder = m_placeholderImageView;
    UIView::animate(
        0.4, [placeholder] {
            if (auto view = placeholder.lock())
                view->setAlpha(0);
        },
        [placeholder](bool) {
            if (auto view = placeholder.lock()) {
                view->setHidden(true);
                view->setAlpha(1);
            }
        });
}

void SJVideoPlayerPresentView::setVideoGravity(AVLayerVideoGravity gravity)
{
    m_gravity = gravity;
    m_pictureView->setContentMode(contentModeFor(gravity));
}

void SJVideoPlayerPresentView::setFrameImage(std::optional<UIImage> frame)
{
    m_pictureView->setImage(std::move(frame));
}

void SJVideoPlayerPresentView::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    // Every layer of the player's view (picture, placeholder, controls, prompts) fills it.
    for (const auto& subview : subviews())
        subview->setFrame(bounds());
}
