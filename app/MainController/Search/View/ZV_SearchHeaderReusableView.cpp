#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchHeaderReusableView> ZV_SearchHeaderReusableView::create()
{
    auto header = std::make_shared<ZV_SearchHeaderReusableView>();
    header->addSubview(header->m_title);
    header->addSubview(header->m_iconView);
    header->layOutParts();
    return header;
}

ZV_SearchHeaderReusableView::ZV_SearchHeaderReusableView()
    : m_title(std::make_shared<UILabel>())
    , m_iconView(std::make_shared<ZVAdaptiveImageView>())
{
    m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    m_title->setFont(UIFont::systemFont(14));
}

void ZV_SearchHeaderReusableView::layOutParts()
{
    snp(m_iconView).makeConstraints([](ConstraintMaker& make) {
        make.size().equalTo(CGSize { 20, 20 });
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
    });
    snp(m_title).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().bottom().equalToSuperview();
        make.right().equalTo(snp(m_iconView).left()).offset(-10);
    });
}

void ZV_SearchHeaderReusableView::setSectionType(ZV_SearchSectionType type)
{
    m_sectionType = type;
    switch (type) {
    case ZV_SearchSectionType::history:
        m_title->setText("搜索历史");
        m_iconView->setAdaptiveImage(UIImage::named("search_delete"));
        break;
    case ZV_SearchSectionType::screenList:
        m_title->setText("大家都在搜");
        m_iconView->setAdaptiveImage(UIImage::named("search_refresh"));
        break;
    default:
        break;
    }
}
