#pragma once

#include "platform/ui/UINavigationController.h"

#include <functional>
#include <memory>

// A plain navigation stack with an image back item. Every screen, root included, hides the
// bottom bar. Because the system back item is replaced, the swipe-back gesture loses its usual
// gatekeeper on pushed screens; it gets it back only while the root is shown.
class ZV_BaseNavigationController : public UINavigationController, public UINavigationControllerDelegate {
public:
    ZV_BaseNavigationController();
    explicit ZV_BaseNavigationController(std::shared_ptr<UIViewController> root);

    std::string className() const override { return "ZV_BaseNavigationController"; }

    void viewDidLoad() override;
    void pushViewController(std::shared_ptr<UIViewController> controller, bool animated,
        std::function<void()> completion = {}) override;
    // The custom back item's action: pops the top screen, animated.
    void backToPreviousVC();

    void didShow(UINavigationController& navigation, UIViewController& shown, bool animated) override;

    const std::shared_ptr<UIView>& listView() { return view(); }

protected:
    void containerViewDidLoad() override;

private:
    // The pop gesture's own decision as it was when the view loaded; unset before that.
    std::function<bool(UIGestureRecognizer&)> m_popDelegate;
};
