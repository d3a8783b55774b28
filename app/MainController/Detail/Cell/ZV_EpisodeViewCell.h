#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"

#include <memory>
#include <string>

class QMUILabel;
class UIImageView;

// A chip of the episode strip: the episode's name on a rounded grey (or, for the episode now
// playing, accent) background, and a downloaded mark that the strip keeps hidden.
class ZV_EpisodeViewCell : public BaseCollectionViewCell {
public:
    ZV_EpisodeViewCell();

    std::string className() const override { return "ZV_EpisodeViewCell"; }

    const std::shared_ptr<QMUILabel>& zv_name();
    const std::shared_ptr<UIImageView>& zv_download();

    virtual void setupUI();

private:
    std::shared_ptr<QMUILabel> m_name;
    std::shared_ptr<UIImageView> m_download;
};
