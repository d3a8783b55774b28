#pragma once

#include "platform/ui/UIViewController.h"
#include "tools/kitdemo/KitDemoAppDelegate.h"

#include <memory>
#include <string>

class ImageLoader;
class UIButton;
class UILabel;

// A full-screen page of the components block: a title bar with a close button ("关闭") over the
// page's own content, which subclasses build in buildContent and place in layoutContent.
class KitDemoScreen : public UIViewController {
public:
    explicit KitDemoScreen(std::string title);

    std::string className() const override { return "KitDemoScreen"; }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    static constexpr CGFloat barHeight = 48;

protected:
    virtual void buildContent() = 0;
    // The area under the title bar, in the view's space.
    virtual void layoutContent(const CGRect& area) = 0;
    // Bar texts and buttons in the light or dark colours of the page behind them.
    bool onDark = false;
    const std::shared_ptr<UILabel>& titleLabel() const { return m_title; }

private:
    std::string m_titleText;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UIButton> m_close;
};

// The pages, one per component.
std::shared_ptr<KitDemoScreen> makeDatePickerScreen();
std::shared_ptr<KitDemoScreen> makeBlurScreen(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);
std::shared_ptr<KitDemoScreen> makeMarqueeScreen();
std::shared_ptr<KitDemoScreen> makeSwipeCardsScreen(
    std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);
std::shared_ptr<KitDemoScreen> makeBannerScreen(
    std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures);

// A mint button with a dark title, as the demo's pages use.
std::shared_ptr<UIButton> makeKitDemoButton(const std::string& title, const std::string& identifier);
