#include "app/MainController/Chat/View/ZV_ChatTipView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_ChatTipView::ZV_ChatTipView()
    : m_bgView(std::make_shared<UIView>())
    , m_imageView(std::make_shared<UIImageView>(UIImage::named("chat_notice")))
    , m_marqueeLabel(std::make_shared<MarqueeLabel>())
    , m_closeBtn(std::make_shared<UIButton>())
{
    setCornerRadius(*m_bgView, 8);
    m_marqueeLabel->setTextColor(UIColor::white());
    m_marqueeLabel->setFont(UIFont::systemFont(12));
    m_marqueeLabel->type = MarqueeLabel::MarqueeType::continuous;
    m_marqueeLabel->animationCurve = UIViewAnimationCurve::linear;
    m_marqueeLabel->speed = MarqueeLabel::SpeedLimit::rate(30);
    m_marqueeLabel->animationDelay = 0;
    m_marqueeLabel->trailingBuffer = 40;
    setType(m_type);
    // The button lives inside the bar: the action may refer to the bar without owning it.
    m_closeBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        setHidden(true);
        seq.reset();
    });
}

void ZV_ChatTipView::awakeFromNib()
{
    addSubview(m_bgView);
    m_bgView->addSubview(m_imageView);
    m_bgView->addSubview(m_marqueeLabel);
    m_bgView->addSubview(m_closeBtn);
    snp(*m_bgView).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview();
        make.height().equalTo(barHeight);
    });
    snp(*m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(12);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 16, 16 });
    });
    snp(*m_closeBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-6);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 28, 28 });
    });
    snp(*m_marqueeLabel).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(*m_imageView).right()).offset(8);
        make.right().equalTo(snp(*m_closeBtn).left()).offset(-4);
        make.top().bottom().equalToSuperview();
    });
}

void ZV_ChatTipView::setType(ZV_ChatTipViewType type)
{
    m_type = type;
    bool reply = type == ZV_ChatTipViewType::reply;
    m_bgView->setBackgroundColor(reply ? UIColor::white(1, 0.9) : colorWithHex("#DAFDFF"));
    m_marqueeLabel->setTextColor(reply ? colorWithHex("1D1942", 0.5) : colorWithHex("#00116A"));
    m_imageView->setHidden(reply);
    // The grey cross is faint on the pale bars: it takes the bar's text colour, solid.
    if (auto cross = UIImage::named("chat_tip_close"))
        m_closeBtn->setImage(
            zvadaptive::iconInColor(*cross, reply ? colorWithHex("1D1942") : colorWithHex("#00116A")));
}
