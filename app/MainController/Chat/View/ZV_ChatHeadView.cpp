#include "app/MainController/Chat/View/ZV_ChatHeadView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_ChatHeadView::ZV_ChatHeadView()
    : m_titleLb(std::make_shared<UILabel>())
    , m_onlineStackView(std::make_shared<UIStackView>())
    , m_numLb(std::make_shared<UILabel>())
    , m_refreshBtn(std::make_shared<ZVAdaptiveIconButton>())
{
    setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));

    m_titleLb->setFont(UIFont::systemFont(18, UIFont::Weight::semibold));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_titleLb->setText("聊天室");

    // A green dot before the count says the room is live.
    auto dot = std::make_shared<UIView>();
    dot->setBackgroundColor(colorWithHex("2BD46B"));
    m_numLb->setFont(UIFont::systemFont(12));
    m_numLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.6)));
    m_numLb->setText("0人在线");
    m_onlineStackView->setAxis(UIStackView::Axis::horizontal);
    m_onlineStackView->setSpacing(4);
    m_onlineStackView->setAlignment(UIStackViewAlignment::center);
    m_onlineStackView->addArrangedSubview(dot);
    m_onlineStackView->addArrangedSubview(m_numLb);

    m_refreshBtn->setAdaptiveImage(UIImage::named("chat_refresh"));
    snp(*dot).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 6, 6 }); });
    setCornerRadius(*dot, 3);
}

void ZV_ChatHeadView::awakeFromNib()
{
    addSubview(m_titleLb);
    addSubview(m_onlineStackView);
    addSubview(m_refreshBtn);
    snp(*m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(16);
        make.centerY().equalToSuperview();
    });
    snp(*m_onlineStackView).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(*m_titleLb).right()).offset(10);
        make.centerY().equalToSuperview();
    });
    snp(*m_refreshBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-10);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 36, 36 });
    });
}
