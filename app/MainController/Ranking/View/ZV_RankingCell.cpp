#include "app/MainController/Ranking/View/ZV_RankingCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/ViewConstraints.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <string>

namespace {

constexpr CGFloat kRankingInset = 12;
// Top-left and bottom-right.
constexpr unsigned kBadgeCorners = 1 | 8;
// The tie of the tags' bottom to the name's bottom: it wins while the tags are hidden, so the
// synopsis moves up, and yields while they show.
constexpr UILayoutPriority kTagsHiddenPriority = 750;
constexpr UILayoutPriority kTagsShownPriority = 250;

std::shared_ptr<UILabel> makeLabel(
    CGFloat size, const UIColor& color, CGFloat weight = UIFont::Weight::regular)
{
    auto label = std::make_shared<UILabel>();
    label->setFont(UIFont::systemFont(size, weight));
    label->setTextColor(color);
    return label;
}

}

ZV_RankingCell::ZV_RankingCell()
    : ZV_RankingCell(CGRect {})
{ }

ZV_RankingCell::ZV_RankingCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_bgView(std::make_shared<UIView>())
    , m_movieView(ZV_MovieView::make())
    , m_numLb(makeLabel(14, UIColor::white(), UIFont::Weight::bold))
    , m_titleLb(makeLabel(16, zvadaptive::textColor(colorWithHex("1D1942")), UIFont::Weight::medium))
    , m_hotLb(makeLabel(12, hotColor()))
    , m_tagStackView(std::make_shared<UIStackView>())
    , m_contentLb(makeLabel(12, zvadaptive::textColor(colorWithHex("1D1942", 0.5))))
{
    m_bgView->setBackgroundColor(cardColor());
    makeCorner(*m_bgView, 12);
    m_numLb->setTextAlignment(NSTextAlignment::center);
    m_hotLb->setTextAlignment(NSTextAlignment::right);
    m_contentLb->setNumberOfLines(2);
    m_tagStackView->setAxis(UIStackView::Axis::horizontal);
    m_tagStackView->setSpacing(6);
    m_tagStackView->setAlignment(UIStackViewAlignment::center);
    setContentCompressionResistancePriority(*m_tagStackView, 700, UILayoutConstraintAxis::vertical);
    setContentHuggingPriority(*m_hotLb, 750, UILayoutConstraintAxis::horizontal);

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_bgView);
    for (const std::shared_ptr<UIView>& part : std::initializer_list<std::shared_ptr<UIView>> {
             m_movieView, m_numLb, m_titleLb, m_hotLb, m_tagStackView, m_contentLb })
        m_bgView->addSubview(part);

    snp(m_bgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_movieView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(kRankingInset);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 72, 96 });
    });
    snp(m_numLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().top().equalTo(m_movieView);
        make.size().equalTo(CGSize { 24, 20 });
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_movieView).right()).offset(kRankingInset);
        make.top().equalTo(snp(m_movieView).top()).offset(2);
        make.height().equalTo(22);
    });
    snp(m_hotLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().greaterThanOrEqualTo(snp(m_titleLb).right()).offset(8);
        make.right().equalToSuperview().offset(-kRankingInset);
        make.centerY().equalTo(snp(m_titleLb).centerY());
    });
    snp(m_tagStackView).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_titleLb).left());
        make.right().lessThanOrEqualToSuperview().offset(-kRankingInset);
        make.top().greaterThanOrEqualTo(snp(m_titleLb).bottom());
        make.top().equalTo(snp(m_titleLb).bottom()).offset(8).priority(500);
        make.height().equalTo(20).priority(700);
        make.bottom().equalTo(snp(m_titleLb).bottom()).priority(kTagsHiddenPriority);
    });
    snp(m_contentLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_titleLb).left());
        make.right().equalToSuperview().offset(-kRankingInset);
        make.top().equalTo(snp(m_tagStackView).bottom()).offset(8);
    });
    setRow(0);
    setModel(nullptr);
}

UIColor ZV_RankingCell::cardColor()
{
    // A pale card over the page's picture; on the dark page a faint lift from black.
    return UIColor::dynamic(UIColor::white(1, 0.7), UIColor::white(1, 0.08));
}

UIColor ZV_RankingCell::hotColor()
{
    // A deep orange that reads on the pale card, a light one on the dark card.
    return UIColor::dynamic(colorWithHex("B83E00"), colorWithHex("FF8A3D"));
}

UIColor ZV_RankingCell::badgeTextColor(int row)
{
    // The first three places are bright reds and oranges: navy reads on every one of them. The
    // others only darken the cover a little, where white reads best.
    return row >= 0 && row <= 2 ? colorWithHex("1D1942") : UIColor::white();
}

std::vector<UIColor> ZV_RankingCell::badgeColors(int row)
{
    switch (row) {
    case 0:
        return { colorWithHex("FF1F47"), colorWithHex("FF326F") };
    case 1:
        return { colorWithHex("FF480E"), colorWithHex("FF5C00") };
    case 2:
        return { colorWithHex("FF6332"), colorWithHex("FFA132") };
    default:
        return { colorWithHex("000000", 0.1), colorWithHex("000000", 0.1) };
    }
}

void ZV_RankingCell::setRow(int row)
{
    m_row = row;
    m_numLb->setText(std::to_string(static_cast<long long>(row) + 1));
    m_numLb->setTextColor(badgeTextColor(row));
    az_setGradientBackgroundWithColors(*m_numLb, badgeColors(row), { 0, 0 }, { 0, 1 });
}

void ZV_RankingCell::setModel(std::shared_ptr<ZV_DetailModel> model)
{
    m_model = std::move(model);
    m_movieView->setDetailModel(m_model);
    m_titleLb->setText(m_model ? m_model->name.value_or("") : std::string {});
    m_hotLb->setText(m_model ? m_model->hot.value_or("") : std::string {});
    m_contentLb->setText(m_model ? m_model->blurb.value_or("") : std::string {});

    std::vector<std::shared_ptr<UIView>> previous = m_tagStackView->arrangedSubviews();
    for (const auto& old : previous) {
        m_tagStackView->removeArrangedSubview(old.get());
        old->removeFromSuperview();
    }
    const auto* tags = m_model && m_model->tags ? &*m_model->tags : nullptr;
    if (tags) {
        for (const auto& tag : *tags) {
            auto label = std::make_shared<QMUILabel>();
            label->setBackgroundColor(zvadaptive::raisedColor(colorWithHex("F3F5F9")));
            label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.5)));
            label->setFont(UIFont::systemFont(12));
            label->setContentEdgeInsets({ 2, 8, 2, 8 });
            label->setText(tag ? tag->name : std::string {});
            makeCorner(*label, 4);
            m_tagStackView->addArrangedSubview(label);
        }
    }
    bool hidden = !tags || tags->empty();
    m_tagStackView->setHidden(hidden);
    if (auto tie = cs_constraintWithAttribute(
            *m_tagStackView, NSLayoutAttribute::bottom, m_titleLb.get(), NSLayoutAttribute::bottom))
        tie->setPriority(hidden ? kTagsHiddenPriority : kTagsShownPriority);
}

void ZV_RankingCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    layoutIfNeeded();
    makeCornerByRoundingCorners(*m_numLb, kBadgeCorners, 8);
}
