#include "platform/media/SJTextPopupController.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/SJPlayerViews.h"

#include <algorithm>

namespace {

constexpr CGFloat sideMargin = 24;
constexpr UIEdgeInsets textInsets { 10, 14, 10, 14 };

class PopupArea : public SJPassThroughView {
public:
    explicit PopupArea(SJTextPopupController& owner)
        : m_owner(owner)
    { }
    std::string className() const override { return "SJTextPopupArea"; }
    void layoutSubviews() override
    {
        SJPassThroughView::layoutSubviews();
        m_owner.layout();
    }

private:
    SJTextPopupController& m_owner;
};

}

SJTextPopupController::SJTextPopupController()
    : m_area(std::make_shared<PopupArea>(*this))
{ }

SJTextPopupController::~SJTextPopupController()
{
    hide();
    m_area->removeFromSuperview();
}

void SJTextPopupController::show(const NSAttributedString& title, double duration)
{
    hide();
    auto view = std::make_shared<SJPopupTextView>(title, textInsets);
    m_view = view;
    m_area->addSubview(view);
    layout();
    std::weak_ptr<UIView> weakView = view;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + std::max(0.0, duration),
        [alive = std::weak_ptr<bool>(m_alive), this, weakView] {
            // Only the pop-up this timer belongs to; a newer one keeps its own time.
            if (alive.lock() && weakView.lock() == m_view)
                hide();
        });
}

void SJTextPopupController::hide()
{
    if (m_view)
        m_view->removeFromSuperview();
    m_view.reset();
}

void SJTextPopupController::layout()
{
    if (!m_view)
        return;
    CGRect bounds = m_area->bounds();
    CGSize size = m_view->sizeThatFits({ std::max<CGFloat>(0, bounds.size.width - 2 * sideMargin), bounds.size.height });
    m_view->setFrame({ { (bounds.size.width - size.width) / 2, (bounds.size.height - size.height) / 2 }, size });
}
