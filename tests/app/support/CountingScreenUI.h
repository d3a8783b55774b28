#pragma once

#include "app/Core/Network/ZV_NetworkScreenUI.h"

namespace zvtest {

// The app's screen side, counting replies (each hides the tips once) and login screens.
class CountingScreenUI : public ZV_NetworkScreenUI {
public:
    void hideAllTips() override
    {
        ++hides;
        ZV_NetworkScreenUI::hideAllTips();
    }
    void presentLogin() override
    {
        ++logins;
        ZV_NetworkScreenUI::presentLogin();
    }
    int hides = 0;
    int logins = 0;
};

}
