#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_HomeBannerSubCell::ZV_HomeBannerSubCell()
    : ZV_HomeBannerSubCell(CGRect {})
{ }

ZV_HomeBannerSubCell::ZV_HomeBannerSubCell(const CGRect& frame)
    : FSPagerViewCell(frame)
    , m_iconView(std::make_shared<UIImageView>())
    , m_tagView(std::make_shared<UIView>())
    , m_tagLb(std::make_shared<QMUILabel>())
    , m_title(std::make_shared<UILabel>())
    , m_des(std::make_shared<UILabel>())
{
    setBackgroundColor(UIColor::clear());
    const std::shared_ptr<UIView>& content = contentView();
    content->setBackgroundColor(UIColor::clear());
    // The page fills the pager: the pager's default shadow would only darken its edges.
    CALayer& layer = *content->layer();
    layer.setShadowColor(UIColor::clear());
    layer.setShadowRadius(0);
    layer.setShadowOpacity(0);
    layer.setShadowOffset({ 0, 0 });

    m_iconView->setContentMode(UIViewContentMode::scaleAspectFill);
    setCornerRadius(*m_iconView, 8);

    makeCorner(*m_tagView, 4);
    az_setGradientBackgroundWithColors(
        *m_tagView, { colorWithHex("FF6332"), colorWithHex("FFA132") }, { 0, 0 }, { 0, 1 });
    m_tagLb->setTextColor(zvadaptive::tagTextColor(UIColor::white()));
    m_tagLb->setFont(UIFont::systemFont(10));

    m_title->setTextColor(UIColor::white());
    m_title->setFont(UIFont::systemFont(20, UIFont::Weight::medium));
    m_des->setTextColor(UIColor::white().withAlphaComponent(0.7));
    m_des->setFont(UIFont::systemFont(10));

    content->addSubview(m_iconView);
    content->addSubview(m_tagView);
    m_tagView->addSubview(m_tagLb);
    content->addSubview(m_title);
    content->addSubview(m_des);

    snp(m_iconView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_tagView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.bottom().equalToSuperview().offset(-24);
    });
    // The tag takes its size from its text.
    snp(m_tagLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(6);
        make.right().equalToSuperview().offset(-6);
        make.top().equalToSuperview().offset(2);
        make.bottom().equalToSuperview().offset(-2);
    });
    snp(m_title).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_tagView).left());
        make.bottom().equalTo(snp(m_tagView).top()).offset(-5);
    });
    snp(m_des).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_tagView).right()).offset(8);
        make.centerY().equalTo(snp(m_tagView).centerY());
    });
}

void ZV_HomeBannerSubCell::setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_model = std::move(model);
    std::optional<UIImage> placeholder = UIImage::named("placeholder_banner");
    if (m_model && parsesAsURL(m_model->image))
        sd_setImage(*m_iconView, m_model->image, placeholder);
    else
        m_iconView->setImage(placeholder);
    m_tagView->setHidden(!m_model || m_model->label.empty());
    m_tagLb->setText(m_model ? m_model->label : std::string {});
    m_title->setText(m_model ? m_model->title : std::string {});
    m_des->setText(m_model ? m_model->sub_title : std::string {});
    layoutIfNeeded();
}
