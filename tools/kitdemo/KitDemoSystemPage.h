#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/photos/UIImagePickerController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class UIButton;
class UIImageView;
class UILabel;

// A page of the demo with what the device offers beside drawing: a share poster whose QR code is
// made on the device, and buttons for a web page of the local server with its script bridge, the
// photo picker over the photo library folder and the share sheet with its outbox folder. What
// each one gives back shows under the buttons.
class KitDemoSystemPage : public UIViewController,
                          public JXSegmentedListContainerViewListDelegate,
                          public UIImagePickerControllerDelegate {
public:
    // The server's address (for the web page and the poster's link) and the poster's cover.
    KitDemoSystemPage(std::string serverURL, std::filesystem::path coverFile);

    std::string className() const override { return "KitDemoSystemPage"; }
    std::shared_ptr<UIView> listView() override { return view(); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    void imagePickerControllerDidFinishPickingMediaWithInfo(
        UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override;

private:
    std::shared_ptr<UIView> makePoster();
    std::shared_ptr<UIButton> makeButton(
        const std::string& title, const std::string& identifier, void (KitDemoSystemPage::*action)());
    void openWebPage();
    void openPicker();
    void sharePoster();
    void showStatus(const std::string& text);

    std::string m_serverURL;
    std::filesystem::path m_coverFile;
    std::shared_ptr<UIView> m_poster;
    std::vector<std::shared_ptr<UIButton>> m_buttons;
    std::shared_ptr<UILabel> m_status;
    std::shared_ptr<UIImageView> m_picked;
};
