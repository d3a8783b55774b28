#include "app/MainController/Search/View/ZV_SearchFeedbackExtraCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchFeedbackExtraCell> ZV_SearchFeedbackExtraCell::create()
{
    auto cell = std::make_shared<ZV_SearchFeedbackExtraCell>();
    cell->m_contentView->setDelegate(cell);
    return cell;
}

ZV_SearchFeedbackExtraCell::ZV_SearchFeedbackExtraCell()
    : m_contentView(std::make_shared<QMUITextView>())
{
    makeCorner(*m_contentView, 8);
    m_contentView->setMaximumTextLength(maximumTextLength);
    m_contentView->setBackgroundColor(zvadaptive::raisedColor(colorWithHex("F3F5F9")));
    m_contentView->setPlaceholder("请输入文字");
    m_contentView->setPlaceholderColor(zvadaptive::textColor(colorWithHex("1D1942", 0.2)));
    m_contentView->setTextColor(zvadaptive::textColor(colorWithHex("28272C")));
    m_contentView->setFont(UIFont::systemFont(14));
    m_contentView->setTextContainerInset({ 16, 24, 16, 24 });
    contentView()->addSubview(m_contentView);
    snp(m_contentView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_SearchFeedbackExtraCell::textViewDidChange(UITextView& textView)
{
    if (stringBlock)
        stringBlock(textView.text());
}
