#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"

#include "app/MainController/Other/View/PanelParts.h"

ZV_SearchFeedbackAlertView::ZV_SearchFeedbackAlertView(const CGRect& frame)
    : UIView(frame)
    , m_titleLabel(panelparts::makeTitle("反馈/求片"))
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    addSubview(m_titleLabel);
}

const std::shared_ptr<QMUIButton>& ZV_SearchFeedbackAlertView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        panelparts::onTap(*m_closeBtn, *this, [](ZV_SearchFeedbackAlertView& self) {
            if (self.closeBlock)
                self.closeBlock();
        });
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

void ZV_SearchFeedbackAlertView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    // The close button needs the form to be owned (its action holds it weakly).
    if (superview())
        closeBtn();
}

void ZV_SearchFeedbackAlertView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_titleLabel.get(), m_closeBtn.get());
}
