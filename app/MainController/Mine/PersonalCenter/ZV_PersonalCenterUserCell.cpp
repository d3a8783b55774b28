#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterUserCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptiveIconButton.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_PersonalCenterUserCell::ZV_PersonalCenterUserCell()
    : ZV_PersonalCenterUserCell(CGRect {})
{ }

ZV_PersonalCenterUserCell::ZV_PersonalCenterUserCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_imageView(UIView::create<UIImageView>(UIImage::named("mine_user")))
    , m_userView(UIView::create())
    , m_titleLb(UIView::create<UILabel>())
    , m_desLb(UIView::create<UILabel>())
    , m_settingBtn(UIView::create<ZVAdaptiveIconButton>())
    , m_loginBtn(UIView::create<UIButton>())
{
    setAccessibilityIdentifier("mine.user");
    makeCorner(*m_imageView, 34);
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("222222")));
    m_desLb->setTextAlignment(NSTextAlignment::left);
    m_desLb->setFont(UIFont::systemFont(12));
    m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    m_settingBtn->setAdaptiveImage(UIImage::named("mine_setting_gray"));
    m_settingBtn->setAccessibilityIdentifier("mine.setting");
    m_loginBtn->setTitle(std::string("点击登录"), UIControlStateNormal);
    m_loginBtn->setTitleColor(zvadaptive::textColor(colorWithHex("222222")), UIControlStateNormal);
    m_loginBtn->setAccessibilityIdentifier("mine.login");
    m_loginBtn->setHidden(true);

    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview :
        std::initializer_list<std::shared_ptr<UIView>> { m_imageView, m_userView, m_settingBtn, m_loginBtn })
        content->addSubview(subview);
    m_userView->addSubview(m_titleLb);
    m_userView->addSubview(m_desLb);

    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().top().bottom().equalToSuperview();
        make.width().height().equalTo(68);
    });
    snp(m_settingBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview();
        make.centerY().equalToSuperview();
        make.width().height().equalTo(22);
    });
    snp(m_userView).makeConstraints([this](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.left().equalTo(snp(m_imageView).right()).offset(16);
        make.right().equalTo(snp(m_settingBtn).left()).offset(-6);
    });
    // 16 before the settings button: the user view already ends 6 before it.
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.top().left().equalToSuperview();
        make.right().equalToSuperview().offset(-10);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_titleLb).bottom()).offset(2);
        make.left().right().equalTo(m_titleLb);
        make.bottom().equalToSuperview();
    });
    snp(m_loginBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(16);
        make.centerY().equalToSuperview();
    });
}

void ZV_PersonalCenterUserCell::setModel(std::shared_ptr<ZV_UserInfoModel> model)
{
    m_model = std::move(model);
    refresh();
}

void ZV_PersonalCenterUserCell::refresh()
{
    bool signedIn = m_model && !m_model->id.empty();
    m_loginBtn->setHidden(signedIn);
    m_userView->setHidden(!signedIn);
    if (m_model && parsesAsURL(m_model->avatar))
        sd_setImage(*m_imageView, m_model->avatar, UIImage::named("mine_user"));
    else {
        // A load for an earlier profile must not land here later.
        sd_cancelCurrentImageLoad(*m_imageView);
        m_imageView->setImage(UIImage::named("mine_user"));
    }
    m_titleLb->setText(m_model ? m_model->nickname : std::string());
    if (m_model)
        m_desLb->setText("UID：" + m_model->id);
}
