#include "app/MainController/Detail/View/ZV_LoadingView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/GradientView.h"
#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <cstdio>

std::shared_ptr<ZV_LoadingView> ZV_LoadingView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_LoadingView>(frame);
    view->setupUI();
    return view;
}

// Backed by a gradient layer of its own, whatever the process's default layer is.
ZV_LoadingView::ZV_LoadingView(const CGRect& frame)
    : UIView(CAGradientLayer::make(), frame)
{ }

const std::shared_ptr<UIButton>& ZV_LoadingView::backBtn()
{
    if (!m_backBtn) {
        m_backBtn = std::make_shared<UIButton>();
        m_backBtn->setImage(UIImage::named("playerback"));
    }
    return m_backBtn;
}

const std::shared_ptr<UIImageView>& ZV_LoadingView::backgroundView()
{
    if (!m_backgroundView) {
        m_backgroundView = std::make_shared<UIImageView>(UIImage::named("loadingBG"));
        m_backgroundView->setContentMode(UIViewContentMode::scaleAspectFill);
    }
    return m_backgroundView;
}

const std::shared_ptr<UIImageView>& ZV_LoadingView::loadingView()
{
    if (!m_loadingView) {
        m_loadingView = std::make_shared<UIImageView>();
        std::vector<UIImage> frames;
        for (int i = 0; i < frameCount; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Loading_000%02d", i);
            // A frame the assets lack is left out: the others still play in order.
            if (std::optional<UIImage> frame = UIImage::named(name))
                frames.push_back(*frame);
        }
        m_loadingView->setAnimationImages(std::move(frames));
        m_loadingView->startAnimating();
    }
    return m_loadingView;
}

const std::shared_ptr<UILabel>& ZV_LoadingView::loadingName()
{
    if (!m_loadingName) {
        m_loadingName = std::make_shared<UILabel>();
        m_loadingName->setText("精彩即将开始");
        m_loadingName->setTextColor(UIColor::white().withAlphaComponent(0.8));
        m_loadingName->setFont(UIFont::systemFont(14));
    }
    return m_loadingName;
}

void ZV_LoadingView::setupUI()
{
    az_setGradientBackgroundWithColors(
        *this, { colorWithHex("#000000"), colorWithHex("#656565") }, { 0, 0 }, { 0, 1 });
    addSubview(backBtn());
    addSubview(backgroundView());
    addSubview(loadingView());
    addSubview(loadingName());

    snp(m_backBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(15);
        make.left().equalToSuperview().offset(20);
    });
    snp(m_backgroundView).makeConstraints([](ConstraintMaker& make) {
        make.top().right().equalToSuperview();
    });
    snp(m_loadingView).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.size().equalTo(CGSize { 82, 34 });
    });
    snp(m_loadingName).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_loadingView).bottom()).offset(16);
        make.centerX().equalToSuperview();
    });
}
