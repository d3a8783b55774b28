#pragma once

#include "app/BaseController/BaseViewController.h"

#include <memory>

class KeyboardNotificationTool;

// The chat room screen, page 2 of the root tabs. Loading its view tells the root that the chat
// has been seen ("chatNum" clears the badge); it follows sign-in and sign-out and watches the
// keyboard for its input bar.
class ZV_ChatMainVC : public BaseViewController {
public:
    ZV_ChatMainVC();
    ~ZV_ChatMainVC() override;

    std::string className() const override { return "ZV_ChatMainVC"; }

    void viewDidLoad() override;
    // Sign-in or sign-out happened.
    void reloadData();

    const std::unique_ptr<KeyboardNotificationTool>& keyboardTool() const { return m_keyboardTool; }

private:
    std::unique_ptr<KeyboardNotificationTool> m_keyboardTool;
};
