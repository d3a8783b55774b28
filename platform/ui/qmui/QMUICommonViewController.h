#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/qmui/QMUIEmptyView.h"
#include "platform/ui/qmui/QMUINavigationController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The base screen of the framework: set-up hooks, an empty-state view over the whole view, and
// the configuration's orientations, status bar style and bottom-bar default. It answers the
// navigation bar hooks of QMUINavigationControllerAppearanceDelegate with "no answer".
class QMUICommonViewController : public UIViewController, public QMUINavigationControllerAppearanceDelegate {
public:
    QMUICommonViewController();

    std::string className() const override { return "QMUICommonViewController"; }

    // Runs initSubviews() (after giving the view the configuration's background colour, when it
    // has none). Overrides call the base first.
    void viewDidLoad() override;
    // Runs setupNavigationItems().
    void viewWillAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

    // Hooks for subclasses: build the subviews (once, at view load) and the navigation items
    // (before each appearance).
    virtual void initSubviews() { }
    virtual void setupNavigationItems() { }

    // ---- Empty state ----
    // Made on first use once the view has loaded; nullptr before.
    std::shared_ptr<QMUIEmptyView> emptyView();
    // Puts the empty view (as configured) over the view.
    void showEmptyView();
    // Only the loading indicator: image, texts and button are cleared.
    void showEmptyViewWithLoading();
    // Sets every part (empty texts and no image hide theirs; the indicator is hidden) and shows.
    void showEmptyView(std::optional<UIImage> image, std::string text, std::string detailText,
        std::string buttonTitle, std::function<void()> buttonAction);
    void hideEmptyView();
    bool isEmptyViewShowing() const;
    // Fits the empty view to the view's bounds; false when it is not showing.
    virtual bool layoutEmptyView();

    unsigned supportedInterfaceOrientations() const override;
    UIStatusBarStyle preferredStatusBarStyle() const override;

private:
    std::shared_ptr<QMUIEmptyView> m_emptyView;
};
