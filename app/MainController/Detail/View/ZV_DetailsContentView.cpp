#include "app/MainController/Detail/View/ZV_DetailsContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Other/View/PanelParts.h"

ZV_DetailsContentView::ZV_DetailsContentView()
    : ZV_DetailsContentView(CGRect {})
{ }

ZV_DetailsContentView::ZV_DetailsContentView(const CGRect& frame)
    : UIView(frame)
    , m_title(panelparts::makeTitle({}))
    , m_descInfo(std::make_shared<QMUILabel>())
{
    setBackgroundColor(UIColor::systemBackground());
    setClipsToBounds(true);
    m_descInfo->setNumberOfLines(0);
    m_descInfo->setFont(UIFont::systemFont(14));
    m_descInfo->setTextColor(colorWithHex("1D1942", 0.6));
    addSubview(m_title);
    addSubview(m_descInfo);
}

const std::shared_ptr<QMUIButton>& ZV_DetailsContentView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

void ZV_DetailsContentView::reloadData()
{
    m_title->setText(model && model->name ? *model->name : std::string());
    std::string intro;
    if (model)
        intro = model->content.value_or(model->blurb.value_or(std::string()));
    m_descInfo->setText(intro);
    setNeedsLayout();
}

void ZV_DetailsContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    CGRect b = bounds();
    panelparts::layoutHeader(b, m_title.get(), m_closeBtn.get());
    CGFloat width = std::max<CGFloat>(0, b.width() - 2 * panelparts::sideInset);
    CGSize fit = m_descInfo->sizeThatFits({ width, b.height() });
    m_descInfo->setFrame({ panelparts::sideInset, panelparts::headerHeight, width,
        std::min(fit.height, std::max<CGFloat>(0, b.height() - panelparts::headerHeight)) });
}
