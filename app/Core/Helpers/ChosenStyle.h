#pragma once

#include "platform/ui/UITraitCollection.h"

#include <memory>

class UIWindow;

// The viewer's dark-mode choice (StoreData::isDarkColor) as the app's windows show it. A page with
// a look of its own (the short videos, always dark) holds the window it shows in with that look
// for as long as it is shown: a choice made meanwhile is stored and shown on every other window,
// and the held one shows it once the page lets go. Main thread only.
namespace ChosenStyle {

// The stored choice: light until dark is chosen.
UIUserInterfaceStyle chosen();

// The viewer's choice stored (so that the next start opens in it), then shown on every window, the
// player's full screen too, but those that a page holds: the settings' dark switch.
void choose(bool dark);
// The desktop window's style key: the choice swapped, as choose() takes one. The new choice.
UIUserInterfaceStyle swap();

// Gives the window the style that a page holds it in, else the choice.
void show(UIWindow& window);

// A window kept in a page's own style while this lives; made, it puts the style on the window.
class Hold {
public:
    Hold(std::weak_ptr<UIWindow> window, UIUserInterfaceStyle style);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    const std::weak_ptr<UIWindow>& window() const { return m_window; }
    UIUserInterfaceStyle style() const { return m_style; }

private:
    std::weak_ptr<UIWindow> m_window;
    UIUserInterfaceStyle m_style;
};

}
