#include "platform/media/SJEdgeControlLayer.h"

#include "platform/media/SJProgressSlider.h"
#include "platform/media/SJVideoPlayerConfigurations.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/UILabel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double appearDuration = 0.3;

// A dark shade behind a row, even over the row and fading out beyond its inner edge; touches on it
// outside the row's items go through.
class RowBackground : public UIView {
public:
    explicit RowBackground(bool darkAtTop)
        : UIView(CAGradientLayer::make(), CGRect())
        , m_darkAtTop(darkAtTop)
    {
        auto gradient = layerAs<CAGradientLayer>();
        UIColor dark(0, 0, 0, SJEdgeControlLayer::rowShadeAlpha);
        UIColor clear(0, 0, 0, 0);
        gradient->setColors(darkAtTop ? std::vector<UIColor> { dark, dark, clear }
                                      : std::vector<UIColor> { clear, dark, dark });
        gradient->setStartPoint({ 0.5, 0 });
        gradient->setEndPoint({ 0.5, 1 });
    }
    std::string className() const override { return "SJEdgeControlLayerRow"; }
    void layoutSubviews() override
    {
        UIView::layoutSubviews();
        CGFloat height = bounds().size.height;
        CGFloat fade = height > 0 ? std::min<CGFloat>(1, SJEdgeControlLayer::rowShadeFade / height) : 1;
        layerAs<CAGradientLayer>()->setLocations(
            m_darkAtTop ? std::vector<CGFloat> { 0, 1 - fade, 1 } : std::vector<CGFloat> { 0, fade, 1 });
    }
    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event) override
    {
        std::shared_ptr<UIView> hit = UIView::hitTest(point, event);
        return hit.get() == this ? nullptr : hit;
    }

private:
    bool m_darkAtTop;
};

std::shared_ptr<UILabel> timeLabel(const std::string& text)
{
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    auto label = std::make_shared<UILabel>();
    label->setFont(resources.timeLabelFont);
    label->setTextColor(resources.timeLabelColor);
    label->setTextAlignment(NSTextAlignment::center);
    label->setText(text);
    label->setUserInteractionEnabled(false);
    return label;
}

// Sizes a label of a row to its text; true when its width changed.
bool fitWidth(UILabel& label)
{
    CGSize size = label.sizeThatFits({ 1000, SJEdgeControlLayer::defaultRowHeight });
    CGFloat width = std::ceil(size.width) + 8;
    if (label.frame().size.width == width)
        return false;
    label.setFrame({ label.frame().origin, { width, SJEdgeControlLayer::defaultRowHeight } });
    return true;
}

}

std::string SJEdgeControlLayerTimeText(double seconds)
{
    long long total = std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(seconds) : 0;
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", total / 60, total % 60);
    return text;
}

SJEdgeControlLayer::SJEdgeControlLayer()
    : m_topContainer(std::make_shared<RowBackground>(true))
    , m_bottomContainer(std::make_shared<RowBackground>(false))
    , m_topAdapter(
          std::make_shared<SJEdgeControlButtonItemAdapter>(CGRect(), SJAdapterLayoutType::horizontal))
    , m_bottomAdapter(
          std::make_shared<SJEdgeControlButtonItemAdapter>(CGRect(), SJAdapterLayoutType::horizontal))
    , m_centerAdapter(
          std::make_shared<SJEdgeControlButtonItemAdapter>(CGRect(), SJAdapterLayoutType::horizontal))
    , m_loadingView(std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large))
    , m_bottomIndicator(std::make_shared<UIView>())
    , m_bottomIndicatorTrace(std::make_shared<UIView>())
    , m_progress(std::make_shared<SJProgressSlider>())
{
    m_topContainer->addSubview(m_topAdapter);
    m_bottomContainer->addSubview(m_bottomAdapter);
    m_loadingView->setColor(UIColor::white());
    m_loadingView->setHidesWhenStopped(true);
    m_loadingView->setUserInteractionEnabled(false);
    m_bottomIndicator->setUserInteractionEnabled(false);
    m_bottomIndicator->addSubview(m_bottomIndicatorTrace);
    m_bottomIndicator->setHidden(true);
    makeItems();
    update(m_state);
}

void SJEdgeControlLayer::attachParts()
{
    // Parts go in once the layer has an owner (not while it is being made), at the back, so that
    // owners' views stay above them.
    if (m_attached || weak_from_this().expired())
        return;
    m_attached = true;
    std::size_t index = 0;
    for (const auto& part : std::initializer_list<std::shared_ptr<UIView>> {
             m_bottomIndicator, m_loadingView, m_centerAdapter, m_topContainer, m_bottomContainer })
        insertSubview(part, index++);
}

void SJEdgeControlLayer::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachParts();
}

void SJEdgeControlLayer::makeItems()
{
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    auto call = [this](std::function<void()> SJEdgeControlLayer::*member) {
        // The layer owns its rows and so outlives their items' taps.
        return [this, member](SJEdgeControlButtonItem&) {
            if (auto handler = this->*member)
                handler();
        };
    };

    m_topAdapter->addItem(SJEdgeControlButtonItem::initWithImage(
        resources.back(), call(&SJEdgeControlLayer::onBack), SJEdgeControlLayerTopItem_Back));
    m_titleLabel = std::make_shared<UILabel>();
    m_titleLabel->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_titleLabel->setTextColor(UIColor::white());
    m_titleLabel->setUserInteractionEnabled(false);
    auto title = SJEdgeControlButtonItem::initWithCustomView(m_titleLabel, SJEdgeControlLayerTopItem_Title);
    title->setFill(true);
    m_topAdapter->addItem(title);

    m_currentTimeLabel = timeLabel("00:00");
    m_separatorLabel = timeLabel("/");
    m_durationLabel = timeLabel("00:00");
    fitWidth(*m_currentTimeLabel);
    fitWidth(*m_separatorLabel);
    fitWidth(*m_durationLabel);
    m_progress->setFrame({ { 0, 0 }, { 0, 30 } });
    m_progress->addAction(UIControlEventValueChanged, [this](UIControl&) {
        if (auto handler = onSeek)
            handler(m_progress->value());
    });
    auto progress
        = SJEdgeControlButtonItem::initWithCustomView(m_progress, SJEdgeControlLayerBottomItem_Progress);
    progress->setFill(true);
    progress->setInsets({ 8, 8 });
    m_bottomAdapter->addItemsFromArray({
        SJEdgeControlButtonItem::initWithImage(
            resources.pause(), call(&SJEdgeControlLayer::onPlay), SJEdgeControlLayerBottomItem_Play),
        SJEdgeControlButtonItem::initWithCustomView(
            m_currentTimeLabel, SJEdgeControlLayerBottomItem_CurrentTime),
        SJEdgeControlButtonItem::initWithCustomView(m_separatorLabel, SJEdgeControlLayerBottomItem_Separator),
        SJEdgeControlButtonItem::initWithCustomView(
            m_durationLabel, SJEdgeControlLayerBottomItem_DurationTime),
        progress,
        SJEdgeControlButtonItem::initWithImage(resources.fullscreen(),
            call(&SJEdgeControlLayer::onFullscreen), SJEdgeControlLayerBottomItem_Full),
    });

    auto replay = SJEdgeControlButtonItem::initWithImage(
        resources.replay(), call(&SJEdgeControlLayer::onReplay), SJEdgeControlLayerCenterItem_Replay);
    replay->setAlpha(0);
    m_centerAdapter->addItem(replay);
}

void SJEdgeControlLayer::setBottomHeight(CGFloat height)
{
    m_bottomHeight = std::max<CGFloat>(0, height);
    setNeedsLayout();
    layoutIfNeeded();
}

void SJEdgeControlLayer::setHiddenBottomProgressIndicator(bool hidden)
{
    m_hiddenBottomIndicator = hidden;
    updateIndicator();
}

void SJEdgeControlLayer::setHiddenTitleItemWhenOrientationIsPortrait(bool hidden)
{
    m_hiddenTitleInPortrait = hidden;
    if (auto title = m_topAdapter->itemForTag(SJEdgeControlLayerTopItem_Title))
        title->setHidden(m_hiddenTitleInPortrait && !m_state.fullscreen);
}

void SJEdgeControlLayer::setAppeared(bool appeared)
{
    if (appeared == m_appeared)
        return;
    m_appeared = appeared;
    for (const auto& row : { m_topContainer, m_bottomContainer }) {
        if (appeared)
            row->setHidden(false);
        std::weak_ptr<UIView> weak = row;
        UIView::animate(
            appearDuration,
            [weak, appeared] {
                if (auto view = weak.lock())
                    view->setAlpha(appeared ? 1 : 0);
            },
            [weak, appeared, alive = std::weak_ptr<UIView>(weakFromThis()), this](bool) {
                // A later change wins over the end of this one.
                auto view = weak.lock();
                if (view && alive.lock() && m_appeared == appeared)
                    view->setHidden(!appeared);
            });
    }
    updateIndicator();
}

void SJEdgeControlLayer::update(const SJEdgeControlLayerState& state)
{
    bool first = !m_stateShown;
    SJEdgeControlLayerState old = m_state;
    m_state = state;
    m_stateShown = true;

    if (first || old.fullscreen != state.fullscreen) {
        if (auto title = m_topAdapter->itemForTag(SJEdgeControlLayerTopItem_Title))
            title->setHidden(m_hiddenTitleInPortrait && !state.fullscreen);
    }
    if (first || old.waiting != state.waiting) {
        if (state.waiting)
            m_loadingView->startAnimating();
        else
            m_loadingView->stopAnimating();
    }
    updateImages();
    updateTexts();
    updateIndicator();
}

void SJEdgeControlLayer::updateImages()
{
    // Owners may change the shared resources after the player was made: the items follow them.
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    auto show = [](const std::shared_ptr<SJEdgeControlButtonItem>& item, const UIImage& image) {
        if (item && !(item->image() && *item->image() == image))
            item->setImage(image);
    };
    show(m_topAdapter->itemForTag(SJEdgeControlLayerTopItem_Back), resources.back());
    show(m_bottomAdapter->itemForTag(SJEdgeControlLayerBottomItem_Play),
        m_state.paused ? resources.play() : resources.pause());
    show(m_bottomAdapter->itemForTag(SJEdgeControlLayerBottomItem_Full),
        m_state.fullscreen ? resources.smallScreen() : resources.fullscreen());
    show(m_centerAdapter->itemForTag(SJEdgeControlLayerCenterItem_Replay), resources.replay());
}

void SJEdgeControlLayer::updateTexts()
{
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    for (const auto& label : { m_currentTimeLabel, m_separatorLabel, m_durationLabel }) {
        label->setFont(resources.timeLabelFont);
        label->setTextColor(resources.timeLabelColor);
    }
    m_titleLabel->setText(m_state.title);
    m_currentTimeLabel->setText(SJEdgeControlLayerTimeText(m_state.currentTime));
    m_durationLabel->setText(SJEdgeControlLayerTimeText(m_state.duration));
    bool resized = fitWidth(*m_currentTimeLabel);
    resized = fitWidth(*m_separatorLabel) || resized;
    resized = fitWidth(*m_durationLabel) || resized;
    if (resized) {
        m_bottomAdapter->setNeedsLayout();
        m_bottomAdapter->layoutIfNeeded();
    }
    double fraction = m_state.duration > 0 ? m_state.currentTime / m_state.duration : 0;
    m_progress->setValue(fraction);
}

void SJEdgeControlLayer::updateIndicator()
{
    const SJVideoPlayerResources& resources = SJVideoPlayerConfigurations::shared().resources;
    m_bottomIndicator->setHidden(m_hiddenBottomIndicator || m_appeared || m_state.duration <= 0);
    m_bottomIndicator->setBackgroundColor(resources.bottomIndicatorTrackColor);
    m_bottomIndicatorTrace->setBackgroundColor(resources.bottomIndicatorTraceColor);
    CGRect bounds = m_bottomIndicator->bounds();
    double fraction = m_state.duration > 0 ? std::clamp(m_state.currentTime / m_state.duration, 0.0, 1.0) : 0;
    m_bottomIndicatorTrace->setFrame({ { 0, 0 }, { bounds.size.width * fraction, bounds.size.height } });
}

void SJEdgeControlLayer::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    CGRect bounds = this->bounds();
    UIEdgeInsets safe = safeAreaInsets();
    // The rows keep clear of the notch and the home indicator in full screen only; in portrait
    // the player sits below the status bar already.
    if (!m_state.fullscreen)
        safe = {};
    CGFloat width = bounds.size.width;
    // Each row's shade reaches rowShadeFade beyond the row, towards the middle of the picture.
    CGFloat topHeight = defaultRowHeight + safe.top + rowShadeFade;
    m_topContainer->setFrame({ { 0, 0 }, { width, topHeight } });
    m_topAdapter->setFrame({ { safe.left, safe.top }, { width - safe.left - safe.right, defaultRowHeight } });
    CGFloat bottomHeight = m_bottomHeight + safe.bottom + rowShadeFade;
    m_bottomContainer->setFrame({ { 0, bounds.size.height - bottomHeight }, { width, bottomHeight } });
    m_bottomAdapter->setFrame(
        { { safe.left, rowShadeFade }, { width - safe.left - safe.right, m_bottomHeight } });
    CGFloat centerWidth = SJEdgeControlButtonItemAdapter::itemExtent
        * static_cast<CGFloat>(std::max<std::size_t>(1, m_centerAdapter->numberOfItems()));
    m_centerAdapter->setFrame({ { (width - centerWidth) / 2,
                                    (bounds.size.height - SJEdgeControlButtonItemAdapter::itemExtent) / 2 },
        { centerWidth, SJEdgeControlButtonItemAdapter::itemExtent } });
    m_loadingView->setFrame({ { (width - 44) / 2, (bounds.size.height - 44) / 2 }, { 44, 44 } });
    CGFloat indicatorHeight = SJVideoPlayerConfigurations::shared().resources.bottomIndicatorHeight;
    m_bottomIndicator->setFrame({ { 0, bounds.size.height - indicatorHeight }, { width, indicatorHeight } });
    updateIndicator();
}

std::shared_ptr<UIView> SJEdgeControlLayer::hitTest(CGPoint point, const UIEvent* event)
{
    std::shared_ptr<UIView> hit = UIView::hitTest(point, event);
    return hit.get() == this ? nullptr : hit;
}
