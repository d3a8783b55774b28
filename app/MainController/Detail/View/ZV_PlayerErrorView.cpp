#include "app/MainController/Detail/View/ZV_PlayerErrorView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/GradientView.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

std::shared_ptr<UIButton> makeButton(const char* title, const UIColor& background)
{
    auto button = std::make_shared<UIButton>();
    button->setTitle(title);
    button->setTitleColor(colorWithHex("#1D1942"));
    button->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    button->setBackgroundColor(background);
    button->layer()->setCornerRadius(8);
    button->setClipsToBounds(true);
    return button;
}

}

std::shared_ptr<ZV_PlayerErrorView> ZV_PlayerErrorView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_PlayerErrorView>(frame);
    view->setupUI();
    return view;
}

ZV_PlayerErrorView::ZV_PlayerErrorView(const CGRect& frame)
    : UIView(CAGradientLayer::make(), frame)
{ }

const std::shared_ptr<UIButton>& ZV_PlayerErrorView::backBtn()
{
    if (!m_backBtn) {
        m_backBtn = std::make_shared<UIButton>();
        m_backBtn->setImage(UIImage::named("playerback"));
    }
    return m_backBtn;
}

const std::shared_ptr<UIStackView>& ZV_PlayerErrorView::mainStackView()
{
    if (!m_mainStackView) {
        m_mainStackView = std::make_shared<UIStackView>();
        m_mainStackView->setAxis(UILayoutConstraintAxis::vertical);
        m_mainStackView->setSpacing(8);
        m_mainStackView->setAlignment(UIStackViewAlignment::center);
        m_mainStackView->setDistribution(UIStackViewDistribution::equalSpacing);
    }
    return m_mainStackView;
}

const std::shared_ptr<UIImageView>& ZV_PlayerErrorView::errorView()
{
    if (!m_errorView) {
        m_errorView = std::make_shared<UIImageView>(UIImage::named("Unhappy"));
        m_errorView->setContentMode(UIViewContentMode::center);
    }
    return m_errorView;
}

const std::shared_ptr<UILabel>& ZV_PlayerErrorView::title()
{
    if (!m_title) {
        m_title = std::make_shared<UILabel>();
        m_title->setText("播放出错，请尝试切换资源，或刷新一下");
        m_title->setTextColor(UIColor::white());
        m_title->setFont(UIFont::systemFont(14));
    }
    return m_title;
}

const std::shared_ptr<UIStackView>& ZV_PlayerErrorView::stackView()
{
    if (!m_stackView) {
        m_stackView = std::make_shared<UIStackView>();
        m_stackView->setAxis(UILayoutConstraintAxis::horizontal);
        m_stackView->setSpacing(8);
        m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    }
    return m_stackView;
}

const std::shared_ptr<UIButton>& ZV_PlayerErrorView::refreshBtn()
{
    if (!m_refreshBtn)
        m_refreshBtn = makeButton("刷新一下", UIColor::white());
    return m_refreshBtn;
}

const std::shared_ptr<UIButton>& ZV_PlayerErrorView::changeBtn()
{
    if (!m_changeBtn)
        m_changeBtn = makeButton("切换资源", colorWithHex("03FFE1"));
    return m_changeBtn;
}

void ZV_PlayerErrorView::setupUI()
{
    az_setGradientBackgroundWithColors(
        *this, { colorWithHex("#000000"), colorWithHex("#656565") }, { 0, 0 }, { 0, 1 });
    addSubview(backBtn());
    addSubview(mainStackView());
    m_mainStackView->addArrangedSubview(errorView());
    m_mainStackView->addArrangedSubview(title());
    m_mainStackView->addArrangedSubview(stackView());
    m_stackView->addArrangedSubview(refreshBtn());
    m_stackView->addArrangedSubview(changeBtn());

    snp(m_backBtn).makeConstraints([](ConstraintMaker& make) {
        make.size().equalTo(CGSize { 49, 49 });
        make.top().equalToSuperview().offset(4);
        make.left().equalToSuperview();
    });
    snp(m_mainStackView).makeConstraints([](ConstraintMaker& make) { make.center().equalToSuperview(); });
    for (const auto& button : m_stackView->arrangedSubviews())
        snp(*button).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 104, 40 }); });
}
