#include "app/MainController/Home/View/ZV_HomeScrollSubCell.h"

#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_HomeScrollSubCell::ZV_HomeScrollSubCell()
    : ZV_HomeScrollSubCell(CGRect {})
{ }

ZV_HomeScrollSubCell::ZV_HomeScrollSubCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_iconView(std::make_shared<UIImageView>())
    , m_titleView(std::make_shared<UIView>())
    , m_titleImgView(std::make_shared<UIImageView>(UIImage::named("home_play")))
    , m_titleLb(std::make_shared<UILabel>())
    , m_effectView(std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(10)))
    , m_desView(std::make_shared<UIView>())
    , m_desLb(std::make_shared<UILabel>())
{
    m_iconView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_titleLb->setTextColor(UIColor::white());
    m_titleLb->setFont(UIFont::systemFont(14));
    m_desLb->setTextColor(UIColor::white());
    m_desLb->setTextAlignment(NSTextAlignment::right);
    m_desLb->setFont(UIFont::systemFont(12));

    const std::shared_ptr<UIView>& content = contentView();
    makeCorner(*content, 8);
    makeCorner(*m_iconView, 8);
    content->addSubview(m_iconView);
    content->addSubview(m_titleView);
    m_titleView->addSubview(m_effectView);
    m_titleView->addSubview(m_titleImgView);
    m_titleView->addSubview(m_titleLb);
    content->addSubview(m_desView);
    m_desView->addSubview(m_desLb);

    snp(m_iconView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_titleView).makeConstraints([](ConstraintMaker& make) {
        make.left().bottom().right().equalToSuperview();
    });
    snp(m_effectView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    // The play mark's top and centre give the bar its height of 38.
    snp(m_titleImgView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(18);
        make.top().equalToSuperview().offset(9);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(20);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_titleImgView).right()).offset(8);
        make.top().bottom().equalToSuperview();
        make.right().equalToSuperview().offset(-18);
    });
    snp(m_desView).makeConstraints(
        [](ConstraintMaker& make) { make.top().left().right().equalToSuperview(); });
    snp(m_desLb).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(14);
        make.left().equalToSuperview().offset(16);
        make.right().equalToSuperview().offset(-16);
        make.bottom().equalToSuperview();
    });
}

void ZV_HomeScrollSubCell::setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_model = std::move(model);
    if (m_model && parsesAsURL(m_model->cover))
        sd_setImage(*m_iconView, m_model->cover, placeholderImage());
    m_titleLb->setText(m_model ? m_model->movie_name : std::string {});
    m_desLb->setText(m_model ? m_model->dynamic : std::string {});
}
