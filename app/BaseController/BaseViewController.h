#pragma once

#include "platform/ui/qmui/QMUICommonViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class UIButton;
class UIImageView;
class UITapGestureRecognizer;

// Base of the app's screens: portrait only, the system background, the app's look of the empty
// state, and the shared operations (empty / not-signed-in / load-failed state, login, in-app
// browser, the root screen's background picture, a two-button alert). Any screen can be a page of
// a list container: its page is its own view.
class BaseViewController : public QMUICommonViewController, public JXSegmentedListContainerViewListDelegate {
public:
    // Kinds of empty state; any other value than these two means "load failed".
    static constexpr int emptyKindNothing = 0;
    static constexpr int emptyKindLogin = 1;
    static constexpr int emptyKindLoadFailed = 2;

    BaseViewController();
    ~BaseViewController() override;

    std::string className() const override { return "BaseViewController"; }

    void viewDidLoad() override;
    // Keeps the login button under the empty view's text.
    void viewDidLayoutSubviews() override;

    // "立即登录", made on first use; a tap presents the login screen.
    const std::shared_ptr<UIButton>& loginBtn();

    // ---- Fixed answers ----
    unsigned supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override { return false; }
    std::optional<bool> preferredNavigationBarHidden() const override { return false; }
    bool shouldCustomizeNavigationBarTransitionIfHideable() const override { return true; }
    // Page of a list container: the controller's own view.
    std::shared_ptr<UIView> listView() override { return view(); }

    // ---- Operations ----
    // isShow false hides the empty state and the login button. Otherwise by kind: 0 "nothing
    // here"; 1 the caller's text and the login button when signed out, else "nothing here";
    // anything else "load failed", where a tap on the empty view calls `retry` (the last one
    // given: there is only ever one recogniser, and kinds 0 and 1 drop the retry and switch the
    // empty view's taps off again).
    void showEmptyView(bool isShow, int type, const std::string& text = {}, std::function<void()> retry = {});
    using QMUICommonViewController::showEmptyView;

    // The login screen as the root of a new navigation stack, over full screen, animated.
    void presentLogin();
    // The in-app browser for an absolute http or https address; anything else does nothing.
    void openSafari(const std::optional<std::string>& urlString);
    // The background picture of the root screen found in this screen's navigation stack; nothing
    // when there is no stack or no root screen in it.
    void showRootBackground(const std::string& imageName);
    void hideRootBackground();
    // Title only; a cancel button and a destructive confirm button that calls `confirm`.
    void showAlert(const std::string& title, const std::string& cancelTitle, const std::string& confirmTitle,
        std::function<void()> confirm);

    // For tests and screens that look at the empty state.
    const std::shared_ptr<UITapGestureRecognizer>& emptyViewTapRecognizer() const { return m_emptyTap; }

private:
    std::shared_ptr<UIImageView> rootBackgroundView() const;
    void attachRetry(std::function<void()> retry);
    void dropRetry();
    void placeLoginButton();

    std::shared_ptr<UIButton> m_loginBtn;
    std::shared_ptr<UITapGestureRecognizer> m_emptyTap;
    std::shared_ptr<std::function<void()>> m_retry;
};
