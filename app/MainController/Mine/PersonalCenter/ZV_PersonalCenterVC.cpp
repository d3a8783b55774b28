#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_PersonalCenterVC::~ZV_PersonalCenterVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ZV_PersonalCenterVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "我的");
    buildHeader();
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->reloadData();
        },
        this);
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->logoutSuccess();
        },
        this);
    reloadData();
}

void ZV_PersonalCenterVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    // Pages opened from here edit the same profile object.
    refreshHeader();
}

void ZV_PersonalCenterVC::reloadData()
{
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/user/info", JSON::object(),
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weakSelf.lock();
            if (!self)
                return;
            // Only a profile signs the header in; a refusal's message is no profile.
            if (json && json->type() == JSON::Type::Object && !json->isEmpty()) {
                self->m_model = std::make_shared<ZV_UserInfoModel>(*json);
                ConfigSingleton::shared().zv_userInfoModel = self->m_model;
            }
            self->refreshHeader();
        });
}

void ZV_PersonalCenterVC::logoutSuccess()
{
    m_model.reset();
    refreshHeader();
}

void ZV_PersonalCenterVC::buildHeader()
{
    m_header = UIView::create();
    m_header->setAccessibilityIdentifier("mine.user");
    m_imageView = UIView::create<UIImageView>(UIImage::named("mine_user"));
    m_imageView->layer()->setCornerRadius(34);
    m_imageView->setClipsToBounds(true);
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_titleLb = UIView::create<UILabel>();
    m_titleLb->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_titleLb->setTextColor(colorWithHex("222222"));
    m_desLb = UIView::create<UILabel>();
    m_desLb->setFont(UIFont::systemFont(12));
    m_desLb->setTextColor(colorWithHex("1D1942", 0.3));
    m_loginBtn = UIView::create<UIButton>(UIButtonType::custom);
    m_loginBtn->setTitle(std::string("点击登录"), UIControlStateNormal);
    m_loginBtn->setTitleColor(colorWithHex("222222"), UIControlStateNormal);
    m_loginBtn->setAccessibilityIdentifier("mine.login");
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    m_loginBtn->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
        if (auto self = weakSelf.lock())
            self->presentLogin();
    });
    addTapAction(*m_header, [weakSelf](UITapGestureRecognizer&) {
        if (auto self = weakSelf.lock())
            self->headerTapped();
    });

    view()->addSubview(m_header);
    for (const std::shared_ptr<UIView>& subview :
        std::initializer_list<std::shared_ptr<UIView>> { m_imageView, m_titleLb, m_desLb, m_loginBtn })
        m_header->addSubview(subview);
    snp(m_header).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(view()).safeAreaLayoutGuide().top()).offset(16);
        make.left().right().equalToSuperview().inset(36);
        make.height().equalTo(68);
    });
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().top().bottom().equalToSuperview();
        make.width().equalTo(68);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(16);
        make.right().equalToSuperview();
        make.bottom().equalTo(snp(m_imageView).centerY()).offset(-1);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().right().equalTo(m_titleLb);
        make.top().equalTo(snp(m_imageView).centerY()).offset(1);
    });
    snp(m_loginBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(16);
        make.centerY().equalToSuperview();
    });
    refreshHeader();
}

void ZV_PersonalCenterVC::refreshHeader()
{
    if (!m_header)
        return;
    bool signedIn = m_model && !m_model->id.empty();
    m_loginBtn->setHidden(signedIn);
    m_titleLb->setHidden(!signedIn);
    m_desLb->setHidden(!signedIn);
    if (m_model && parsesAsURL(m_model->avatar))
        sd_setImage(*m_imageView, m_model->avatar, UIImage::named("mine_user"));
    else
        m_imageView->setImage(UIImage::named("mine_user"));
    m_titleLb->setText(m_model ? m_model->nickname : std::string());
    if (m_model)
        m_desLb->setText("UID：" + m_model->id);
}

void ZV_PersonalCenterVC::headerTapped()
{
    if (!isLoggedIn()) {
        presentLogin();
        return;
    }
    std::shared_ptr<UINavigationController> navigation = navigationController();
    if (!navigation)
        return;
    auto page = std::make_shared<ZV_PersonalDataVC>();
    page->setModel(m_model);
    navigation->pushViewController(page, true);
}
