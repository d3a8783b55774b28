#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/foundation/ProcessExit.h"

#include <functional>
#include <memory>
#include <string>

class UIAlertController;
class UIButton;
class UIImageView;
class UILabel;

// "联系我们": the logo, the version line and a contact button whose title and link come from the
// server configuration. The logo also hides the ad-free mode: from the tenth tap on (the count is
// never reset while the page lives) every tap asks for the access code; the exact code stores
// "cleanAD" and ends the process two seconds later, so that the next start runs without adverts.
class ZV_AboutVC : public BaseViewController {
public:
    static constexpr const char* accessCode = "274913";
    static constexpr int tapsForAlert = 10;
    static constexpr double exitDelay = 2.0;

    ZV_AboutVC() = default;

    std::string className() const override { return "ZV_AboutVC"; }

    void viewDidLoad() override;

    const std::shared_ptr<UIImageView>& imageView();
    const std::shared_ptr<UILabel>& titleLb();
    const std::shared_ptr<UIButton>& contactBtn();
    int count() const { return m_count; }

    void logoTapped();
    // The alert's "确定": the first text field against the access code, exactly.
    void checkAccessCode(UIAlertController& alert);

    // Ends the process; tests put their own in place.
    std::function<void(int status)> exitProcess = [](int status) { ProcessExit::exit(status); };

private:
    void contactTapped();

    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIButton> m_contactBtn;
    int m_count = 0;
};
