#include "platform/media/SJPromptingPopupController.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/SJPlayerViews.h"

#include <algorithm>

namespace {

constexpr CGFloat spacing = 8;

// The area lays its prompts out whenever it is laid out itself (a turn to full screen resizes it).
class PromptArea : public SJPassThroughView {
public:
    explicit PromptArea(SJPromptingPopupController& owner)
        : m_owner(owner)
    { }
    std::string className() const override { return "SJPromptingPopupArea"; }
    void layoutSubviews() override
    {
        SJPassThroughView::layoutSubviews();
        m_owner.layout();
    }

private:
    SJPromptingPopupController& m_owner;
};

}

SJPromptingPopupController::SJPromptingPopupController()
    : m_area(std::make_shared<PromptArea>(*this))
{ }

SJPromptingPopupController::~SJPromptingPopupController()
{
    clear();
    m_area->removeFromSuperview();
}

void SJPromptingPopupController::show(const NSAttributedString& title)
{
    show(title, defaultDuration);
}

void SJPromptingPopupController::show(const NSAttributedString& title, double duration)
{
    auto view = std::make_shared<SJPopupTextView>(title, m_contentInset);
    m_views.push_back(view);
    m_area->addSubview(view);
    layout();
    std::weak_ptr<UIView> weakView = view;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + std::max(0.0, duration),
        [alive = std::weak_ptr<bool>(m_alive), this, weakView] {
            if (!alive.lock())
                return;
            if (auto shown = weakView.lock())
                remove(shown.get());
        });
}

void SJPromptingPopupController::remove(const UIView* view)
{
    auto it = std::find_if(m_views.begin(), m_views.end(), [&](const auto& shown) { return shown.get() == view; });
    if (it == m_views.end())
        return;
    (*it)->removeFromSuperview();
    m_views.erase(it);
    layout();
}

void SJPromptingPopupController::clear()
{
    for (const auto& view : m_views)
        view->removeFromSuperview();
    m_views.clear();
}

void SJPromptingPopupController::setLeftMargin(CGFloat margin)
{
    m_leftMargin = margin;
    layout();
}

void SJPromptingPopupController::setBottomMargin(CGFloat margin)
{
    m_bottomMargin = margin;
    layout();
}

void SJPromptingPopupController::setBottomOffset(CGFloat offset)
{
    m_bottomOffset = offset;
    layout();
}

void SJPromptingPopupController::layout()
{
    CGRect bounds = m_area->bounds();
    CGFloat maxWidth = std::max<CGFloat>(0, bounds.size.width - 2 * m_leftMargin);
    CGFloat bottom = bounds.size.height - m_bottomMargin - m_bottomOffset;
    for (auto it = m_views.rbegin(); it != m_views.rend(); ++it) {
        CGSize size = (*it)->sizeThatFits({ maxWidth, bounds.size.height });
        (*it)->setFrame({ { m_leftMargin, bottom - size.height }, size });
        bottom -= size.height + spacing;
    }
}
