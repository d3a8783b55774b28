#pragma once

#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SJVideoPlayer;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// Opens a full-height panel at the right edge of the landscape screen over a dimmed background,
// fading in, chosen by type: 0 play sources (needs a model), 1 episodes (model), 2 player settings
// (model and player), 3 playback rate (player). Create one per showing and set `episodeId`
// first. A choice hides the panel and then reaches the owner through the closures below, read
// when the event arrives; a tap on the dimmed area only hides.
class ZV_ShowRightFullView : public QMUIModalPresentationViewController {
public:
    static constexpr CGFloat sourceWidth = 300;
    static constexpr CGFloat episodeWidth = 340;
    static constexpr CGFloat settingsWidth = 438;
    static constexpr CGFloat rateWidth = 300;

    ZV_ShowRightFullView();

    std::string className() const override { return "ZV_ShowRightFullView"; }

    std::function<void(const std::string&)> clickIndexWithEpisodeId;
    std::function<void(const std::string&)> clickSource;
    std::function<void(int)> clickMultiple;
    std::function<void()> clickClose;
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
    void install(const std::shared_ptr<UIView>& panel, CGFloat width);
};
