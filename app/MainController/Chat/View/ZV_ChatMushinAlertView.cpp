#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"

#include "app/MainController/Other/View/PanelParts.h"

namespace {

constexpr int oneHour = 3600;

}

ZV_ChatMushinAlertView::ZV_ChatMushinAlertView(const CGRect& frame)
    : UIView(frame)
    , m_titleLabel(panelparts::makeTitle("选择禁言时间"))
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    addSubview(m_titleLabel);
}

const std::shared_ptr<QMUIButton>& ZV_ChatMushinAlertView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        panelparts::onTap(*m_closeBtn, *this, [](ZV_ChatMushinAlertView& self) {
            if (self.closeBlock)
                self.closeBlock();
        });
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

const std::shared_ptr<QMUIButton>& ZV_ChatMushinAlertView::sendBtn()
{
    if (!m_sendBtn) {
        m_sendBtn = panelparts::makeConfirmButton("确定");
        panelparts::onTap(*m_sendBtn, *this, [](ZV_ChatMushinAlertView& self) {
            if (self.timeBlock)
                self.timeBlock(oneHour);
        });
        addSubview(m_sendBtn);
    }
    return m_sendBtn;
}

void ZV_ChatMushinAlertView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    // The buttons need the picker to be owned (their actions hold it weakly).
    if (superview()) {
        closeBtn();
        sendBtn();
    }
}

void ZV_ChatMushinAlertView::layoutSubviews()
{
    UIView::layoutSubviews();
    CGRect b = bounds();
    panelparts::layoutHeader(b, m_titleLabel.get(), m_closeBtn.get());
    if (m_sendBtn) {
        m_sendBtn->setFrame({ panelparts::sideInset, b.height() - panelparts::rowHeight - 24,
            std::max<CGFloat>(0, b.width() - 2 * panelparts::sideInset), panelparts::rowHeight });
    }
}
