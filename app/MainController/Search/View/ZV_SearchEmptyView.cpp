#include "app/MainController/Search/View/ZV_SearchEmptyView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchEmptyView> ZV_SearchEmptyView::create(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SearchEmptyView>(frame);
    view->setupUI();
    return view;
}

ZV_SearchEmptyView::ZV_SearchEmptyView(const CGRect& frame)
    : UIView(frame)
    , m_bgView(std::make_shared<UIView>())
    , m_imageView(UIView::create<UIImageView>(UIImage::named("search_empty")))
    , m_titleLb(std::make_shared<UILabel>())
    , m_enterBtn(std::make_shared<UIButton>())
{ }

void ZV_SearchEmptyView::setupUI()
{
    setBackgroundColor(zvadaptive::pageColor(UIColor::white()));

    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(16));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    m_titleLb->setText("没有结果，换个关键词试试");

    m_enterBtn->setBackgroundColor(colorWithHex("03FFE1"));
    m_enterBtn->setTitle("反馈求片", UIControlStateNormal);
    m_enterBtn->setFont(UIFont::systemFont(14));
    m_enterBtn->setTitleColor(colorWithHex("1D1942"), UIControlStateNormal);
    makeCorner(*m_enterBtn, 8);
    m_enterBtn->setContentEdgeInsets({ 11, 27, 11, 27 });
    std::weak_ptr<ZV_SearchEmptyView> weak = std::static_pointer_cast<ZV_SearchEmptyView>(sharedFromThis());
    m_enterBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = weak.lock(); self && self->btnClickBlock)
            self->btnClickBlock();
    });

    addSubview(m_bgView);
    m_bgView->addSubview(m_imageView);
    m_bgView->addSubview(m_titleLb);
    m_bgView->addSubview(m_enterBtn);
    snp(m_bgView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-24);
        make.centerX().equalToSuperview();
        make.centerY().equalToSuperview().offset(-80);
    });
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.top().centerX().equalToSuperview();
        make.size().equalTo(CGSize { 108, 64 });
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_imageView).bottom()).offset(18);
        make.left().right().equalToSuperview();
    });
    snp(m_enterBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_titleLb).bottom()).offset(18);
        make.centerX().bottom().equalToSuperview();
    });
}
