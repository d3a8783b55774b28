#pragma once

#include "app/BaseController/BaseViewController.h"

#include <memory>

class Timer;
class UIButton;
class ZV_LaunchContentView;

// The first screen of every run. It asks for the advert configuration once; when the reply (or
// its failure) is in, it shows the splash (the "start" advert over the built-in "launch") and a
// skip button counting "跳过广告 3", 2, 1 once a second; at 0, or on a tap of the button, the
// window's root becomes the root tab screen inside the app's navigation stack. Until the reply
// comes there is no button and no countdown. A tap on the splash opens the advert's link in the
// in-app browser when it is an absolute http or https address; the countdown goes on meanwhile.
// Every reply of the request ends in the countdown, the sign-in codes included; when a login
// screen is up at 0, the root follows once it has gone.
class ZV_LaunchVC : public BaseViewController {
public:
    static constexpr int countdownStart = 3;
    static constexpr const char* skipPrefix = "跳过广告 ";

    ZV_LaunchVC() = default;
    ~ZV_LaunchVC() override;

    std::string className() const override { return "ZV_LaunchVC"; }

    void viewDidLoad() override;

    // Made on first use.
    const std::shared_ptr<ZV_LaunchContentView>& contentView();
    const std::shared_ptr<UIButton>& skipBtn();

    // The configuration request's completion: the picture, then the countdown with its first
    // step at once.
    void showAdvert();
    // One countdown step: the button shows the number; at 0 the root goes in.
    void updataSecond();
    // Stops the countdown and installs the root screen on the application delegate's window;
    // without an AppDelegate or its window only the countdown stops. While a login screen is up
    // the root waits for it to go.
    void goRoot();

    int second() const { return m_second; }
    const std::shared_ptr<Timer>& timer() const { return m_timer; }

private:
    void advertTapped();

    int m_second = countdownStart;
    std::shared_ptr<Timer> m_timer;
    std::shared_ptr<ZV_LaunchContentView> m_contentView;
    std::shared_ptr<UIButton> m_skipBtn;
};
