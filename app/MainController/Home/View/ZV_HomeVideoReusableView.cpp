#include "app/MainController/Home/View/ZV_HomeVideoReusableView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

ZV_HomeVideoReusableView::ZV_HomeVideoReusableView()
    : ZV_HomeVideoReusableView(CGRect {})
{ }

ZV_HomeVideoReusableView::ZV_HomeVideoReusableView(const CGRect& frame)
    : BaseCollectionReusableView(frame)
    , m_iconView(std::make_shared<ZVAdaptiveImageView>())
    , m_title(std::make_shared<UILabel>())
    , m_des(std::make_shared<UILabel>())
{
    m_iconView->setAdaptiveImage(UIImage::named("home_head_arrow"));
    m_des->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    m_des->setFont(UIFont::systemFont(14));
    m_des->setText("更多");
    setContentHuggingPriority(*m_des, 750, UILayoutConstraintAxis::horizontal);

    m_title->setTextColor(zvadaptive::textColor(colorWithHex("222222")));
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_title->setNumberOfLines(0);
}

void ZV_HomeVideoReusableView::didMoveToSuperview()
{
    BaseCollectionReusableView::didMoveToSuperview();
    build();
}

void ZV_HomeVideoReusableView::build()
{
    if (m_built)
        return;
    m_built = true;
    addSubview(m_iconView);
    addSubview(m_des);
    addSubview(m_title);
    snp(m_iconView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 20, 20 });
    });
    snp(m_des).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalTo(snp(m_iconView).left());
        make.top().bottom().equalToSuperview();
    });
    snp(m_title).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().bottom().equalToSuperview();
        make.right().equalTo(snp(m_des).left()).offset(-8);
    });
}

void ZV_HomeVideoReusableView::setModel(std::shared_ptr<const ZV_HomeRecommendModelData> model)
{
    build();
    m_model = std::move(model);
    m_title->setText(m_model ? m_model->title : std::string {});
    m_des->setText(m_model ? m_model->right.text : std::string {});
    m_iconView->setHidden(!m_model || m_model->right.text.empty());
}
