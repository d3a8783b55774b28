#include "platform/media/SJLoadFailedControlLayer.h"

#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"

SJLoadFailedControlLayer::SJLoadFailedControlLayer()
    : m_promptLabel(std::make_shared<UILabel>())
    , m_reloadButton(std::make_shared<UIButton>())
    , m_backButton(std::make_shared<UIButton>())
{
    setBackgroundColor(UIColor::black());
    m_promptLabel->setText("视频加载失败");
    m_promptLabel->setFont(UIFont::systemFont(14));
    m_promptLabel->setTextColor(UIColor::white(1, 0.8));
    m_promptLabel->setTextAlignment(NSTextAlignment::center);
    m_reloadButton->setTitle("点击重试");
    m_reloadButton->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_reloadButton->setTitleColor(UIColor::white());
    m_reloadButton->layer()->setBorderWidth(1);
    m_reloadButton->layer()->setBorderColor(UIColor::white(1, 0.6));
    m_reloadButton->layer()->setCornerRadius(15);
    m_backButton->setImage(SJVideoPlayerConfigurations::shared().resources.back());
    m_reloadButton->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        if (auto handler = onReload)
            handler();
    });
    m_backButton->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        if (auto handler = onBack)
            handler();
    });
}

void SJLoadFailedControlLayer::attachParts()
{
    // Parts go in once the layer has an owner (not while it is being made), at the back, so that
    // owners' views stay above them.
    if (m_attached || weak_from_this().expired())
        return;
    m_attached = true;
    insertSubview(m_promptLabel, 0);
    insertSubview(m_reloadButton, 1);
    insertSubview(m_backButton, 2);
}

void SJLoadFailedControlLayer::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachParts();
}

void SJLoadFailedControlLayer::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    m_backButton->setImage(SJVideoPlayerConfigurations::shared().resources.back());
    CGRect bounds = this->bounds();
    CGFloat middle = bounds.size.height / 2;
    m_promptLabel->setFrame({ { 0, middle - 30 }, { bounds.size.width, 20 } });
    m_reloadButton->setFrame({ { (bounds.size.width - 100) / 2, middle + 2 }, { 100, 30 } });
    m_backButton->setFrame({ { 0, 0 }, { 49, 49 } });
}
