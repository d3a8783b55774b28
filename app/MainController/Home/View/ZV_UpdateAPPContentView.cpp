#include "app/MainController/Home/View/ZV_UpdateAPPContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <cmath>

std::shared_ptr<ZV_UpdateAPPContentView> ZV_UpdateAPPContentView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_UpdateAPPContentView>(Passkey {}, frame);
    view->setupUI();
    return view;
}

ZV_UpdateAPPContentView::ZV_UpdateAPPContentView(Passkey, const CGRect& frame)
    : UIView(frame)
    , m_topView(std::make_shared<UIImageView>(UIImage::named("update_top")))
    , m_cardView(std::make_shared<UIView>())
    , m_closeBtn(std::make_shared<QMUIButton>())
    , m_updateBtn(std::make_shared<QMUIButton>())
    , m_title(std::make_shared<QMUILabel>())
    , m_subTitle(std::make_shared<QMUILabel>())
{ }

CGFloat ZV_UpdateAPPContentView::notesHeight(const JSON& model)
{
    std::string intro = model["intro"].stringValue();
    if (intro.empty())
        return 0;
    return std::ceil(TextLayout::measure(intro, UIFont::systemFont(12), notesWidth).height);
}

void ZV_UpdateAPPContentView::setupUI()
{
    m_cardView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    // Only the bottom corners are round: the picture stands on the top edge.
    m_cardView->layer()->setMaskedCorners(kCALayerMinXMaxYCorner | kCALayerMaxXMaxYCorner);
    setCornerRadius(*m_cardView, 8);
    m_closeBtn->setImage(UIImage::named("home_close"));
    m_closeBtn->setAccessibilityIdentifier("update.close");
    m_updateBtn->setTitle("立即升级");
    m_updateBtn->setTitleColor(UIColor::white());
    m_updateBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_updateBtn->setBackgroundColor(colorWithHex("1D1942"));
    setCornerRadius(*m_updateBtn, 8);
    m_updateBtn->setAccessibilityIdentifier("update.open");
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_subTitle->setFont(UIFont::systemFont(12));
    m_subTitle->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    m_subTitle->setNumberOfLines(0);

    addSubview(m_cardView);
    addSubview(m_topView);
    addSubview(m_closeBtn);
    m_cardView->addSubview(m_title);
    m_cardView->addSubview(m_subTitle);
    m_cardView->addSubview(m_updateBtn);

    snp(m_cardView).makeConstraints([this](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.width().equalTo(width);
        m_cardHeightConstraint = make.height().equalTo(200).constraint();
    });
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
    });
    snp(m_subTitle).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(4);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
    });
    snp(m_updateBtn).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
        make.bottom().equalToSuperview().offset(-24);
        make.height().equalTo(44);
    });
    snp(m_topView).makeConstraints([this](ConstraintMaker& make) {
        make.bottom().equalTo(snp(m_cardView).top());
        make.left().right().equalTo(m_cardView);
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_cardView).bottom()).offset(16);
        make.centerX().equalToSuperview();
    });
}

void ZV_UpdateAPPContentView::setModel(std::optional<JSON> model)
{
    m_model = std::move(model);
    JSON value = m_model.value_or(JSON());
    m_title->setText(value["title"].stringValue());
    m_subTitle->setText(value["intro"].stringValue());
    m_cardHeightConstraint->updateOffset(cardBaseHeight + notesHeight(value));
    setNeedsLayout();
}
