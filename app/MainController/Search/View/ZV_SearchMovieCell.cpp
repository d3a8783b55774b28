#include "app/MainController/Search/View/ZV_SearchMovieCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Search/View/HighlightKeyword.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr CGFloat kPosterWidth = 90;
constexpr CGFloat kButtonHeight = 30;
constexpr CGFloat kRowHeight = 146;

std::shared_ptr<UILabel> makeCellLabel(CGFloat size, CGFloat alpha, CGFloat weight = UIFont::Weight::regular)
{
    auto label = std::make_shared<UILabel>();
    label->setFont(UIFont::systemFont(size, weight));
    label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", alpha)));
    label->setNumberOfLines(1);
    return label;
}

}

ZV_SearchMovieCell::ZV_SearchMovieCell()
    : ZV_SearchMovieCell(CGRect {})
{ }

ZV_SearchMovieCell::ZV_SearchMovieCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_bgView(std::make_shared<UIView>())
    , m_movieView(ZV_MovieView::make())
    , m_titleLb(makeCellLabel(16, 1, UIFont::Weight::medium))
    , m_desLb(makeCellLabel(12, 0.5))
    , m_contentLb(makeCellLabel(12, 0.5))
    , m_playBtn(std::make_shared<UIButton>())
    , m_memberLb(makeCellLabel(12, 0.5))
    , m_collectBtn(std::make_shared<UIButton>())
{
    m_playBtn->setTitle("立即播放", UIControlStateNormal);
    m_playBtn->setTitleColor(colorWithHex("#222222"), UIControlStateNormal);
    m_playBtn->setBackgroundColor(colorWithHex("#03FFE1"));
    m_playBtn->setFont(UIFont::systemFont(13));
    // No action: a tap on it is the row's selection, which opens the title.
    m_playBtn->setUserInteractionEnabled(false);

    m_collectBtn->setTitle("收藏", UIControlStateNormal);
    m_collectBtn->setTitle("已收藏", UIControlStateSelected);
    m_collectBtn->setTitleColor(zvadaptive::textColor(colorWithHex("#222222")), UIControlStateNormal);
    m_collectBtn->setFont(UIFont::systemFont(13));
    m_collectBtn->layer()->setBorderWidth(1);
    m_collectBtn->layer()->setBorderColor(
        UIColor::dynamic(colorWithHex("#000000", 0.08), UIColor::white(1, 0.2)));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_bgView);
    for (const std::shared_ptr<UIView>& part : std::initializer_list<std::shared_ptr<UIView>> {
             m_movieView, m_titleLb, m_desLb, m_memberLb, m_contentLb, m_playBtn, m_collectBtn })
        m_bgView->addSubview(part);

    // A fixed size, so that a row does not follow its poster's picture while it loads.
    snp(m_bgView).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview();
        make.width().equalTo(screenWidth() - 32);
        make.height().equalTo(kRowHeight);
    });
    snp(m_movieView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview();
        make.top().equalToSuperview().offset(8);
        make.bottom().equalToSuperview().offset(-12);
        make.width().equalTo(kPosterWidth);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_movieView).right()).offset(12);
        make.right().equalToSuperview();
        make.top().equalTo(snp(m_movieView).top());
        make.height().equalTo(22);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.top().equalTo(snp(m_titleLb).bottom()).offset(6);
    });
    snp(m_memberLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.top().equalTo(snp(m_desLb).bottom()).offset(4);
    });
    snp(m_contentLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.top().equalTo(snp(m_memberLb).bottom()).offset(4);
    });
    snp(m_playBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_titleLb).left());
        make.bottom().equalTo(snp(m_movieView).bottom());
        make.size().equalTo(CGSize { 84, kButtonHeight });
    });
    snp(m_collectBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_playBtn).right()).offset(12);
        make.bottom().equalTo(snp(m_playBtn).bottom());
        make.size().equalTo(CGSize { 72, kButtonHeight });
    });
}

std::string ZV_SearchMovieCell::joinNames(const std::vector<ZV_SearchMovieTagsModel>& names)
{
    std::string text;
    for (const ZV_SearchMovieTagsModel& entry : names) {
        if (text.empty())
            text = entry.name;
        else
            text += " / " + entry.name;
    }
    return text;
}

void ZV_SearchMovieCell::setModel(std::shared_ptr<ZV_SearchMovieModel> model)
{
    m_model = std::move(model);
    m_movieView->setMovieModel(m_model);

    NSAttributes highlight;
    highlight.foregroundColor = colorWithHex("#0386FF");
    NSAttributedString name(m_model ? m_model->name : std::string {});
    m_titleLb->setAttributedText(highlightKeyword(name, highlight, keyword).styledText());

    m_desLb->setText(m_model ? joinNames(m_model->tags) : std::string {});
    m_memberLb->setText(m_model ? joinNames(m_model->members) : std::string {});
    m_contentLb->setText(m_model ? m_model->blurb : std::string {});
    m_collectBtn->setSelected(m_model && m_model->is_collect);
}

void ZV_SearchMovieCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    makeCorner(*m_playBtn);
    makeCorner(*m_collectBtn);
}
