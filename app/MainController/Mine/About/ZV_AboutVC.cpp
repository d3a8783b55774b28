#include "app/MainController/Mine/About/ZV_AboutVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/layout/ConstraintMaker.h"

const std::shared_ptr<UIImageView>& ZV_AboutVC::imageView()
{
    if (!m_imageView) {
        m_imageView = UIView::create<UIImageView>(UIImage::named("mine_logo"));
        m_imageView->setAccessibilityIdentifier("about.logo");
    }
    return m_imageView;
}

const std::shared_ptr<UILabel>& ZV_AboutVC::titleLb()
{
    if (!m_titleLb) {
        m_titleLb = UIView::create<UILabel>();
        m_titleLb->setText("版本号 308");
        m_titleLb->setTextAlignment(NSTextAlignment::center);
        m_titleLb->setFont(UIFont::systemFont(14));
        m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    }
    return m_titleLb;
}

const std::shared_ptr<UIButton>& ZV_AboutVC::contactBtn()
{
    if (!m_contactBtn) {
        m_contactBtn = UIView::create<UIButton>();
        // The title is read once, here; the link at every tap.
        if (const auto& config = ConfigSingleton::shared().zv_configData)
            m_contactBtn->setTitle(config->about.button, UIControlStateNormal);
        m_contactBtn->setTitleColor(colorWithHex("1D1942"), UIControlStateNormal);
        m_contactBtn->setFont(UIFont::systemFont(14));
        m_contactBtn->setBackgroundColor(colorWithHex("03FFE1"));
        makeCorner(*m_contactBtn, 8);
        m_contactBtn->setAccessibilityIdentifier("about.contact");
        std::weak_ptr<ZV_AboutVC> weakSelf = std::static_pointer_cast<ZV_AboutVC>(sharedFromThis());
        m_contactBtn->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            if (auto self = weakSelf.lock())
                self->contactTapped();
        });
    }
    return m_contactBtn;
}

void ZV_AboutVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    navigationItem().setTitle("联系我们");
    view()->addSubview(imageView());
    view()->addSubview(titleLb());
    view()->addSubview(contactBtn());
    snp(imageView()).makeConstraints([](ConstraintMaker& make) {
        make.width().height().equalTo(71);
        make.centerX().equalToSuperview();
        make.top().equalToSuperview().offset(navigationBarHeight() + 90);
    });
    snp(titleLb()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(imageView()).bottom()).offset(24);
        make.centerX().equalToSuperview();
        make.left().right().equalToSuperview().inset(24);
    });
    snp(contactBtn()).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(44);
        make.bottom().equalToSuperview().offset(-(keyWindowSafeAreaInsets().bottom + 12));
    });
    std::weak_ptr<ZV_AboutVC> weakSelf = std::static_pointer_cast<ZV_AboutVC>(sharedFromThis());
    addTapAction(*imageView(), [weakSelf](UITapGestureRecognizer&) {
        if (auto self = weakSelf.lock())
            self->logoTapped();
    });
}

void ZV_AboutVC::contactTapped()
{
    const auto& config = ConfigSingleton::shared().zv_configData;
    if (config)
        openSafari(config->about.link);
}

void ZV_AboutVC::logoTapped()
{
    ++m_count;
    if (m_count < tapsForAlert)
        return;
    auto alert = UIAlertController::make("", "", UIAlertControllerStyle::alert);
    alert->addTextField();
    std::weak_ptr<ZV_AboutVC> weakSelf = std::static_pointer_cast<ZV_AboutVC>(sharedFromThis());
    std::weak_ptr<UIAlertController> weakAlert = alert;
    alert->addAction(
        UIAlertAction::make("确定", UIAlertActionStyle::defaultStyle, [weakSelf, weakAlert](UIAlertAction&) {
            auto self = weakSelf.lock();
            auto shown = weakAlert.lock();
            if (self && shown)
                self->checkAccessCode(*shown);
        }));
    alert->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    present(alert, true);
}

void ZV_AboutVC::checkAccessCode(UIAlertController& alert)
{
    if (alert.textFields().empty())
        return;
    const std::string& code = alert.textFields().front()->text();
    if (code.empty() || code != accessCode)
        return;
    QMUITips::showSucceed("重启APP中...");
    UserDefaults::standard().setBool(true, "cleanAD");
    // The page may be gone by then; the exit is due all the same.
    std::function<void(int)> exit = exitProcess;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + exitDelay, [exit] { exit(0); });
}
