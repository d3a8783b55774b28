#include "app/MainController/Search/View/ZV_SearchCompleteCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Search/View/HighlightKeyword.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_SearchCompleteCell::ZV_SearchCompleteCell()
    : ZV_SearchCompleteCell(CGRect {})
{ }

ZV_SearchCompleteCell::ZV_SearchCompleteCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_titleLb(std::make_shared<UILabel>())
    , m_lineView(std::make_shared<UIView>())
{
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(16));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_lineView->setBackgroundColor(UIColor::dynamic(colorWithHex("222222", 0.06), UIColor::white(1, 0.12)));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_titleLb);
    content->addSubview(m_lineView);
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview();
        make.width().equalTo(screenWidth() - 48);
        make.height().equalTo(54);
    });
    snp(m_lineView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.height().equalTo(1);
    });
}

void ZV_SearchCompleteCell::setModel(std::optional<ZV_SearchCompleteModel> model)
{
    m_model = std::move(model);
    NSAttributedString name(m_model ? m_model->name : std::string {});
    NSAttributes highlight;
    highlight.foregroundColor = colorWithHex("#0386FF");
    m_titleLb->setAttributedText(highlightKeyword(name, highlight, keyword).styledText());
}
