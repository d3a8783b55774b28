#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <functional>
#include <memory>
#include <string>

class UIButton;
class UILabel;

// A page of the demo with a line of explanation and one button that runs an action.
class KitDemoActionPage : public UIViewController, public JXSegmentedListContainerViewListDelegate {
public:
    KitDemoActionPage(std::string text, std::string buttonTitle, std::string identifier,
        std::function<void(KitDemoActionPage&)> action);

    std::string className() const override { return "KitDemoActionPage"; }
    std::shared_ptr<UIView> listView() override { return view(); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    std::string m_text;
    std::string m_buttonTitle;
    std::string m_identifier;
    std::function<void(KitDemoActionPage&)> m_action;
    std::shared_ptr<UILabel> m_label;
    std::shared_ptr<UIButton> m_button;
};
