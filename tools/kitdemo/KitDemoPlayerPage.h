#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <memory>
#include <string>
#include <vector>

class SJVideoPlayer;
class UIButton;
class UILabel;

// A page of the demo with the video player over the local test server's clips: the master
// playlist (its AES-128 variant) with header fields, a seek, a stream with a slow segment and a
// broken one. A line under the player says what the player is doing. A last button opens the app's
// own player on a sample title (KitDemoTitlePlayerScreen).
class KitDemoPlayerPage : public UIViewController, public JXSegmentedListContainerViewListDelegate {
public:
    // `videoBase`: the server's video address, ending in "/video/".
    explicit KitDemoPlayerPage(std::string videoBase);
    ~KitDemoPlayerPage() override;

    std::string className() const override { return "KitDemoPlayerPage"; }
    std::shared_ptr<UIView> listView() override { return view(); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void open(const std::string& path);
    void showStatus();

    std::string m_videoBase;
    std::shared_ptr<SJVideoPlayer> m_player;
    std::shared_ptr<UILabel> m_status;
    std::vector<std::shared_ptr<UIButton>> m_buttons;
};
