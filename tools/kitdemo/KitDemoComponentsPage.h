#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "tools/kitdemo/KitDemoAppDelegate.h"

#include <memory>
#include <vector>

class ImageLoader;
class QMUIPopupMenuView;
class UIButton;

// A page of the demo that opens the components one per screen: the time picker in a field's
// keyboard place, a blurred panel, marquee notices, swipe cards and the banners; and a pop-up menu
// over the page itself.
class KitDemoComponentsPage : public UIViewController, public JXSegmentedListContainerViewListDelegate {
public:
    KitDemoComponentsPage(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);

    std::string className() const override { return "KitDemoComponentsPage"; }
    std::shared_ptr<UIView> listView() override { return view(); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void showMenu();

    std::shared_ptr<ImageLoader> m_loader;
    KitDemoPictures m_pictures;
    std::vector<std::shared_ptr<UIButton>> m_buttons;
    std::shared_ptr<QMUIPopupMenuView> m_menu;
};
