#pragma once

#include "tools/kitdemo/KitDemoComponentScreens.h"

#include <memory>
#include <string>
#include <vector>

class UIButton;
class UILabel;
class ZV_Player;
struct ZV_DetailModel;

// The app's player on a title of the local server's sample API, driven the way a title page
// drives it: the title comes from "v1/movie/detail", the first episode starts, a row of buttons
// switches episodes, and in full screen the episodes item opens the episode panel. The advert
// configuration is loaded too, so that pausing in full screen shows the pause advert.
class KitDemoTitlePlayerScreen : public KitDemoScreen {
public:
    static constexpr const char* titleId = "40618";

    KitDemoTitlePlayerScreen();
    ~KitDemoTitlePlayerScreen() override;

    std::string className() const override { return "KitDemoTitlePlayerScreen"; }

protected:
    void buildContent() override;
    void layoutContent(const CGRect& area) override;

private:
    void titleDidLoad(std::shared_ptr<ZV_DetailModel> model);
    void play(const std::string& episodeId);
    void showEpisodes();
    void showState();

    std::shared_ptr<ZV_Player> m_player;
    std::shared_ptr<UILabel> m_state;
    std::vector<std::shared_ptr<UIButton>> m_episodes;
};
