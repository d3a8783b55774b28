#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedView.h"
#include "tools/kitdemo/KitDemoAppDelegate.h"

#include <memory>
#include <string>
#include <vector>

class ImageLoader;
class KitDemoTabBarDataSource;
class QMUIModalPresentationViewController;

// The demo's root: pages in a list container over a bottom tab bar with a badge. The pages show
// a grid of network images (a tap opens the photo browser), a toast, a bottom sheet, the app's
// play-source panel in its bottom sheet presenter, the system page (web page, photo picker,
// share outbox, QR poster) the video player and the components (pickers, blur,
// marquee, swipe cards, banners, pop-up menu).
class KitDemoTabsController : public UIViewController, public JXSegmentedListContainerViewDataSource {
public:
    KitDemoTabsController(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);

    std::string className() const override { return "KitDemoTabsController"; }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    int numberOfLists(JXSegmentedListContainerView&) override;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

    static constexpr CGFloat tabBarHeight = 54;

private:
    void showSheet();
    static void showSourcesPanel();

    std::shared_ptr<ImageLoader> m_loader;
    KitDemoPictures m_pictures;
    std::shared_ptr<KitDemoTabBarDataSource> m_tabs;
    std::shared_ptr<JXSegmentedView> m_tabBar;
    std::shared_ptr<JXSegmentedListContainerView> m_pages;
    std::shared_ptr<QMUIModalPresentationViewController> m_sheet;
};
