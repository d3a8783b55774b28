#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"

#include <memory>
#include <string>

class QMUILabel;
class UIImageView;

// A chip of an episode grid: the episode's name, and two marks (downloaded, now playing) that the
// episode sheet uses and the full-screen picker leaves hidden.
class ZV_EpisodeListCell : public BaseCollectionViewCell {
public:
    ZV_EpisodeListCell();

    std::string className() const override { return "ZV_EpisodeListCell"; }

    const std::shared_ptr<QMUILabel>& name();
    const std::shared_ptr<UIImageView>& checkView();
    const std::shared_ptr<UIImageView>& playingView();

    virtual void setupUI();

private:
    std::shared_ptr<QMUILabel> m_name;
    std::shared_ptr<UIImageView> m_checkView;
    std::shared_ptr<UIImageView> m_playingView;
};
