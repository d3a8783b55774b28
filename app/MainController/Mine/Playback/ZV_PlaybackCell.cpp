#include "app/MainController/Mine/Playback/ZV_PlaybackCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewGradient.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <cmath>
#include <cstdio>

ZV_PlaybackCell::ZV_PlaybackCell()
    : ZV_PlaybackCell(CGRect {})
{ }

ZV_PlaybackCell::ZV_PlaybackCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_imageBgView(UIView::create())
    , m_imageView(UIView::create<UIImageView>())
    , m_imageTitleView(UIView::create())
    , m_imageTitleLb(UIView::create<UILabel>())
    , m_selBtn(UIView::create<UIButton>())
    , m_lineView(UIView::create())
    , m_titleLb(UIView::create<UILabel>())
    , m_tagLb(UIView::create<QMUILabel>())
    , m_desLb(UIView::create<UILabel>())
{
    buildLayout();
    awakeFromNib();
}

// What the interface file would hold: a row 90 high, the cover 112 × 70 on the left.
void ZV_PlaybackCell::buildLayout()
{
    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview : std::initializer_list<std::shared_ptr<UIView>> {
             m_imageBgView, m_selBtn, m_titleLb, m_tagLb, m_desLb, m_lineView })
        content->addSubview(subview);
    m_imageBgView->addSubview(m_imageView);
    m_imageBgView->addSubview(m_imageTitleView);
    m_imageTitleView->addSubview(m_imageTitleLb);
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_imageTitleLb->setFont(UIFont::systemFont(11));
    m_imageTitleLb->setTextAlignment(NSTextAlignment::right);
    m_titleLb->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_tagLb->setFont(UIFont::systemFont(10));
    m_tagLb->setTextColor(zvadaptive::tagTextColor(UIColor::white()));
    m_desLb->setFont(UIFont::systemFont(12));
    // The mark is drawn for covers (a shaded disc in a white ring): on the row's plain page its
    // ring takes a grey navy that reads on white and on black.
    if (auto mark = UIImage::named("main_nor"))
        m_selBtn->setImage(zvadaptive::iconInColor(*mark, unselectedMarkColor()), UIControlStateNormal);
    m_selBtn->setImage(UIImage::named("main_sel"), UIControlStateSelected);
    // The list decides what a tap selects.
    m_selBtn->setUserInteractionEnabled(false);
    m_selBtn->setHidden(true);

    snp(m_imageBgView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().equalToSuperview().offset(10);
        make.bottom().equalToSuperview().offset(-10);
        make.width().equalTo(112);
    });
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_imageTitleView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.height().equalTo(24);
    });
    snp(m_imageTitleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(6);
        make.centerY().equalToSuperview();
    });
    snp(m_selBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(24);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageBgView).right()).offset(12);
        make.top().equalTo(snp(m_imageBgView).top()).offset(2);
        make.right().equalTo(snp(m_selBtn).left()).offset(-12);
    });
    snp(m_tagLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(m_titleLb);
        make.top().equalTo(snp(m_titleLb).bottom()).offset(6);
        make.height().equalTo(18);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.bottom().equalTo(snp(m_imageBgView).bottom()).offset(-2);
    });
    snp(m_lineView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
        make.height().equalTo(0.5);
    });
}

void ZV_PlaybackCell::awakeFromNib()
{
    m_lineView->setBackgroundColor(UIColor::dynamic(colorWithHex("1D1942", 0.08), UIColor::white(1, 0.12)));
    m_imageTitleLb->setTextColor(UIColor::white());
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    m_tagLb->setContentEdgeInsets({ 1, 6, 1, 6 });
    makeCorner(*m_tagLb, 4);
    // In the label's own (gradient) layer: a gradient sublayer would cover the text.
    az_setGradientBackgroundWithColors(
        *m_tagLb, { colorWithHex("FF6332", 1), colorWithHex("FFA132", 1) }, { 0, 0 }, { 0, 1 });
    makeCorner(*m_imageBgView, 8);
}

UIColor ZV_PlaybackCell::unselectedMarkColor()
{
    return colorWithHex("7E7C93");
}

void ZV_PlaybackCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    contentView()->layoutIfNeeded();
    addVerticalGradient(*m_imageTitleView, { colorWithHex("000000", 0), colorWithHex("000000", 0.4) });
}

std::string ZV_PlaybackCell::progressText(const ZV_HomeRecommendModelDataList& entry)
{
    if (entry.duration < 1)
        return entry.dynamic;
    double percent = static_cast<double>(entry.current_time) / static_cast<double>(entry.duration) * 100;
    if (percent < 1)
        return entry.dynamic + " 观看不足 1%";
    // Printed from the double: a position far beyond the length stays a number, not an overflow.
    char whole[64];
    std::snprintf(whole, sizeof whole, "%.0f%%", std::trunc(percent));
    return entry.dynamic + " 已观看 " + whole;
}

void ZV_PlaybackCell::setModel(std::shared_ptr<ZV_HomeRecommendModelDataList> model)
{
    m_model = std::move(model);
    if (m_model && parsesAsURL(m_model->cover)) {
        sd_setImage(*m_imageView, m_model->cover, placeholderImage());
    } else {
        sd_cancelCurrentImageLoad(*m_imageView);
        m_imageView->setImage(placeholderImage());
    }
    m_imageTitleLb->setText(m_model ? m_model->episode_name : std::string());
    m_titleLb->setText(m_model ? m_model->movie_name : std::string());
    m_desLb->setText(m_model ? progressText(*m_model) : std::string());
    m_tagLb->setHidden(!m_model || m_model->label.empty());
    m_tagLb->setText(m_model ? m_model->label : std::string());
    m_selBtn->setSelected(m_model && m_model->isSel);
}
