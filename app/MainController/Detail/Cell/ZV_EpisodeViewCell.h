#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"

#include <memory>
#include <string>

class QMUILabel;
class UIImageView;

// A chip of the episode strip under the player: the episode's name on a rounded background.
class ZV_EpisodeViewCell : public BaseCollectionViewCell {
public:
    ZV_EpisodeViewCell();

    std::string className() const override { return "ZV_EpisodeViewCell"; }

    const std::shared_ptr<QMUILabel>& zv_name() const { return m_name; }
    // A downloaded mark that the strip keeps hidden.
    const std::shared_ptr<UIImageView>& zv_download() const { return m_download; }

private:
    void setupUI();

    std::shared_ptr<QMUILabel> m_name;
    std::shared_ptr<UIImageView> m_download;
};
