#include "app/MainController/Explore/View/ZV_ExploreView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewGradient.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr CGFloat kInset = 20;

std::shared_ptr<UILabel> makeLabel(CGFloat size, CGFloat weight, int lines)
{
    auto label = std::make_shared<UILabel>();
    label->setFont(UIFont::systemFont(size, weight));
    label->setNumberOfLines(lines);
    return label;
}

template<typename Items, typename Name> std::string joined(const Items& items, Name name)
{
    std::string text;
    for (const auto& item : items) {
        if (!text.empty())
            text += " / ";
        text += name(item);
    }
    return text;
}

}

std::shared_ptr<ZV_ExploreView> ZV_ExploreView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_ExploreView>(Passkey {}, frame);
    view->build();
    view->awakeFromNib();
    return view;
}

ZV_ExploreView::ZV_ExploreView(Passkey, const CGRect& frame)
    : UIView(frame)
    , m_bgView(std::make_shared<UIView>())
    , m_bgImgView(std::make_shared<UIImageView>(UIImage::named("placeholder_explore")))
    , m_shadeView(std::make_shared<UIView>())
    , m_contentLb(makeLabel(13, UIFont::Weight::regular, 3))
    , m_lineView(std::make_shared<UIView>())
    , m_tipLb(makeLabel(13, UIFont::Weight::regular, 1))
    , m_desLb(makeLabel(13, UIFont::Weight::regular, 1))
    , m_titleLb(makeLabel(24, UIFont::Weight::semibold, 1))
    , m_shadeGradient(makeGradientLayer(
          *m_shadeView, colorWithHex("003142", 0), colorWithHex("00394E", 1), { 0, 0 }, { 0, 1 }))
{ }

void ZV_ExploreView::build()
{
    m_bgImgView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_bgImgView->setClipsToBounds(true);
    m_shadeView->layer()->insertSublayer(m_shadeGradient, 0);

    addSubview(m_bgView);
    m_bgView->addSubview(m_bgImgView);
    m_bgView->addSubview(m_shadeView);
    for (const auto& part : { std::static_pointer_cast<UIView>(m_titleLb),
             std::static_pointer_cast<UIView>(m_desLb), std::static_pointer_cast<UIView>(m_tipLb), m_lineView,
             std::static_pointer_cast<UIView>(m_contentLb) })
        m_bgView->addSubview(part);

    snp(m_bgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_bgImgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_contentLb).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(kInset);
        make.bottom().equalToSuperview().offset(-24);
    });
    snp(m_lineView).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(kInset);
        make.bottom().equalTo(snp(m_contentLb).top()).offset(-12);
        make.height().equalTo(1);
    });
    snp(m_tipLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(kInset);
        make.bottom().equalTo(snp(m_lineView).top()).offset(-12);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(kInset);
        make.bottom().equalTo(snp(m_tipLb).top()).offset(-8);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(kInset);
        make.bottom().equalTo(snp(m_desLb).top()).offset(-10);
    });
    // The shade starts well above the name and darkens down to the card's edge.
    snp(m_shadeView).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.top().equalTo(snp(m_titleLb).top()).offset(-120);
    });
}

void ZV_ExploreView::awakeFromNib()
{
    setBackgroundColor(UIColor::white());
    makeCorner(*this, cornerRadius);
    UIColor text = UIColor::white().withAlphaComponent(0.7);
    for (const auto& label : { m_contentLb, m_desLb, m_tipLb, m_titleLb })
        label->setTextColor(text);
    m_lineView->setBackgroundColor(UIColor::white().withAlphaComponent(0.1));
}

void ZV_ExploreView::layoutSubviews()
{
    UIView::layoutSubviews();
    m_bgView->layoutIfNeeded();
    m_shadeGradient->setFrame(m_shadeView->bounds());
}

void ZV_ExploreView::setModel(std::shared_ptr<const ZV_MovieExploreModel> model)
{
    m_model = std::move(model);
    std::optional<UIImage> placeholder = UIImage::named("placeholder_explore");
    if (m_model && parsesAsURL(m_model->cover))
        sd_setImage(*m_bgImgView, m_model->cover, placeholder);
    else
        m_bgImgView->setImage(placeholder);
    if (!m_model) {
        for (const auto& label : { m_contentLb, m_titleLb, m_desLb, m_tipLb })
            label->setText({});
        return;
    }
    m_contentLb->setText(m_model->blurb);
    m_titleLb->setText(m_model->name);
    std::string tags = joined(m_model->tags, [](const auto& tag) { return tag.name; });
    m_desLb->setText("电影 / " + m_model->year + (tags.empty() ? std::string {} : " / " + tags));
    m_tipLb->setText("主演：" + joined(m_model->members, [](const auto& member) { return member.name; }));
}
