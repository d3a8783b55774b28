#include "app/MainController/Search/View/ZV_SearchNavView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchNavView> ZV_SearchNavView::create(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SearchNavView>(frame);
    view->build();
    return view;
}

ZV_SearchNavView::ZV_SearchNavView(const CGRect& frame)
    : UIView(frame)
    , m_imageView(UIView::create<ZVAdaptiveImageView>())
    , m_searchField(std::make_shared<UITextField>())
{
    setBackgroundColor(colorWithHex("7992C2", 0.08));

    m_imageView->setAdaptiveImage(UIImage::named("search_icon"));
    m_searchField->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_searchField->setFont(UIFont::systemFont(16));
    m_searchField->returnKeyType = UIReturnKeyType::search;
    m_searchField->clearButtonMode = UITextFieldViewMode::whileEditing;
    // The system's grey placeholder is too faint on the field: a faded navy (white in the dark
    // style) that still reads.
    TextRun placeholder { .text = "搜索任何你想看内容", .foregroundColor = placeholderColor() };
    m_searchField->setAttributedPlaceholder(StyledText { .runs = { placeholder } });
}

void ZV_SearchNavView::build()
{
    addSubview(m_imageView);
    addSubview(m_searchField);
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().equalToSuperview().offset(13);
        make.bottom().equalToSuperview().offset(-13);
        make.size().equalTo(CGSize { 20, 20 });
    });
    snp(m_searchField).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(10);
        make.top().bottom().right().equalToSuperview();
    });
}

void ZV_SearchNavView::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCorner(*this);
}

UIColor ZV_SearchNavView::placeholderColor()
{
    return zvadaptive::textColor(colorWithHex("1D1942", 0.65));
}
