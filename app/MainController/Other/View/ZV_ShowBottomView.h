#pragma once

#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SJVideoPlayer;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// Opens a panel that slides up from the bottom over a dimmed screen, chosen by type:
//   0 introduction (needs a model), 1 play sources (model), 2 player settings (model and player),
//   3 episodes (model), 4 feedback form, 5 episodes to download (model), 6 mute duration (made
//   by the factory the chat installs; nothing shows without one).
// Create one per showing; set `bottom`, `episodeId` and (type 6) `timeBlock` first. The panel's
// events come back through the closures below, after the sheet has started hiding; the closures
// are read when an event arrives, except timeBlock, which the mute picker copies at show time.
// A tap on the dimmed area only hides the sheet.
class ZV_ShowBottomView : public QMUIModalPresentationViewController {
public:
    ZV_ShowBottomView();

    // Makes the panel of type 6 at the frame, handing it the sheet's time block and a close block
    // that hides the sheet.
    using MutePickerFactory = std::function<std::shared_ptr<UIView>(
        const CGRect& frame, std::function<void(int)> timeBlock, std::function<void()> closeBlock)>;
    static void setMutePickerFactory(MutePickerFactory factory);

    std::string className() const override { return "ZV_ShowBottomView"; }

    std::function<void(const std::string&)> clickIndexWithEpisodeId;
    std::function<void(const std::string&)> clickSource;
    std::function<void()> clickClose;
    std::function<void(int)> timeBlock;
    // The height at the top that full-height panels leave uncovered (the player's bottom edge).
    CGFloat bottom = 0;
    // The episode that is playing.
    std::string episodeId;

    void viewDidLoad() override;

    // The controller's own show(controller) stays reachable beside the panel entry.
    using QMUIModalPresentationViewController::show;
    // Nothing is built or shown when an input the type needs is missing, or for an unknown type.
    void show(int type, std::shared_ptr<ZV_DetailModel> model, std::shared_ptr<SJVideoPlayer> player);
    // The episodes of a downloaded source, for the offline player.
    void showOfflineEpisodes(std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list);

private:
    enum class Placement { bottomEdge, aboveKeyboard };

    CGFloat panelWidth() const;
    CGFloat fullHeight() const;
    void install(const std::shared_ptr<UIView>& panel, CGSize size, Placement placement);
};
