#pragma once

#include "platform/ui/UIApplication.h"

#include <memory>

class UIButton;
class UILabel;
class UITextField;
class UIWindow;

// A small screen of the UI layer for the headless device until the app's own shell exists: a
// title, a button that counts its taps into the title and a text field.
class DemoAppDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication& application, const UIApplicationLaunchOptions& options) override;
    std::shared_ptr<UIWindow> window() const override { return m_window; }

    const std::shared_ptr<UILabel>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<UIButton>& button() const { return m_button; }
    const std::shared_ptr<UITextField>& textField() const { return m_textField; }

private:
    void layout();

    std::shared_ptr<UIWindow> m_window;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIButton> m_button;
    std::shared_ptr<UITextField> m_textField;
    int m_taps = 0;
};
