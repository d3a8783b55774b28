#include "app/MainController/Other/View/ZV_MovieView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewGradient.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

namespace {

constexpr CGFloat kMovieCornerRadius = 8;
constexpr CGFloat kBarPadding = 6;

std::shared_ptr<UILabel> makeBarLabel()
{
    auto label = std::make_shared<UILabel>();
    label->setTextColor(UIColor::white());
    label->setFont(UIFont::systemFont(10));
    return label;
}

}

std::shared_ptr<ZV_MovieView> ZV_MovieView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_MovieView>(Passkey {}, frame);
    view->build();
    return view;
}

ZV_MovieView::ZV_MovieView(Passkey, const CGRect& frame)
    : UIView(frame)
    , m_iconView(std::make_shared<UIImageView>())
    , m_titleView(std::make_shared<UIView>())
    , m_title(makeBarLabel())
    , m_des(makeBarLabel())
    , m_tagLb(std::make_shared<QMUILabel>())
{ }

void ZV_MovieView::build()
{
    makeCorner(*m_iconView, kMovieCornerRadius);
    m_des->setTextAlignment(NSTextAlignment::right);
    setContentCompressionResistancePriority(*m_title, 750, UILayoutConstraintAxis::horizontal);

    m_tagLb->setTextColor(zvadaptive::tagTextColor(UIColor::white()));
    m_tagLb->setTextAlignment(NSTextAlignment::center);
    m_tagLb->setFont(UIFont::systemFont(10));
    m_tagLb->setContentEdgeInsets({ 2, 6, 2, 6 });
    // Orange from top to bottom; the label's own layer draws it.
    az_setGradientBackgroundWithColors(
        *m_tagLb, { colorWithHex("FF6332", 1.0), colorWithHex("FFA132", 1.0) }, { 0, 0 }, { 0, 1 });

    addSubview(m_iconView);
    addSubview(m_titleView);
    m_titleView->addSubview(m_title);
    m_titleView->addSubview(m_des);
    addSubview(m_tagLb);

    snp(m_iconView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_titleView).makeConstraints([](ConstraintMaker& make) {
        make.left().bottom().right().equalToSuperview();
    });
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(kBarPadding);
        make.left().equalToSuperview().offset(kBarPadding);
        make.bottom().equalToSuperview().offset(-kBarPadding);
    });
    snp(m_des).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(kBarPadding);
        make.left().equalTo(snp(m_title).right()).offset(kBarPadding);
        make.right().equalToSuperview().offset(-kBarPadding);
        make.bottom().equalToSuperview().offset(-kBarPadding);
    });
    snp(m_tagLb).makeConstraints([](ConstraintMaker& make) { make.top().right().equalToSuperview(); });
}

void ZV_MovieView::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCorner(*this, kMovieCornerRadius);
    makeCornerByRoundingCorners(*m_tagLb, UIRectCornerBottomLeft, kMovieCornerRadius);
    addVerticalGradient(
        *m_titleView, { UIColor::black().withAlphaComponent(0), UIColor::black().withAlphaComponent(0.8) });
}

void ZV_MovieView::loadCover(const std::string& address)
{
    if (!parsesAsURL(address))
        return;
    sd_setImage(*m_iconView, address, placeholderImage());
}

void ZV_MovieView::showTag(const std::string& text)
{
    m_tagLb->setText(text);
    m_tagLb->setHidden(text.empty());
}

void ZV_MovieView::setModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_model = std::move(model);
    if (!m_model) {
        m_title->setText({});
        m_des->setText({});
        showTag({});
        return;
    }
    loadCover(m_model->cover);
    m_title->setText(m_model->dynamic);
    m_des->setText(m_model->type_name);
    showTag(m_model->label);
}

void ZV_MovieView::setMovieModel(std::shared_ptr<const ZV_SearchMovieModel> model)
{
    m_movieModel = std::move(model);
    if (!m_movieModel) {
        m_title->setText({});
        showTag({});
        return;
    }
    loadCover(m_movieModel->cover);
    m_title->setText(m_movieModel->dynamic);
    showTag(m_movieModel->label);
}

void ZV_MovieView::setCollectModel(std::shared_ptr<const ZV_HomeRecommendModelDataList> model)
{
    m_collectModel = std::move(model);
    if (!m_collectModel) {
        m_title->setText({});
        m_des->setText({});
        showTag({});
        return;
    }
    loadCover(m_collectModel->cover);
    m_title->setText(m_collectModel->movie_dynamic);
    m_des->setText(m_collectModel->type_name);
    showTag(m_collectModel->label);
}

void ZV_MovieView::setDetailModel(std::shared_ptr<const ZV_DetailModel> model)
{
    m_detailModel = std::move(model);
    if (m_detailModel && m_detailModel->cover)
        loadCover(*m_detailModel->cover);
    m_title->setText(m_detailModel ? m_detailModel->dynamic.value_or(std::string {}) : std::string {});
    m_des->setHidden(true);
    m_tagLb->setHidden(true);
}
