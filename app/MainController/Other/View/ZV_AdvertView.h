#pragma once

#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_AdvertModel.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"

#include <memory>
#include <optional>

class UIViewController;

// The advert picture that screens embed above their lists: a rounded image filling the view.
// It has no tap handling of its own; owners add a tap and call openLink from it.
class ZV_AdvertView : public UIView {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static std::shared_ptr<ZV_AdvertView> make(const CGRect& frame = {});
    ZV_AdvertView(Passkey, const CGRect& frame);

    std::string className() const override { return "ZV_AdvertView"; }

    // Setting it loads the advert's picture, or shows the placeholder when there is no advert
    // or its address does not parse.
    const std::optional<ZV_AdvertModel>& model() const { return m_model; }
    void setModel(std::optional<ZV_AdvertModel> model);

    const std::shared_ptr<UIImageView>& zv_imageView() const { return m_imageView; }

    // What an owner's tap does: reads the placement from the app's advert configuration again
    // (it may have changed since the view was filled) and presents its link in the in-app
    // browser from `presenter`. Only absolute http and https links open; anything else, or no
    // configuration, does nothing. True when the browser was presented.
    static bool openLink(UIViewController& presenter, ZV_AdvertModel ZV_AdvertConfigModel::*placement);

private:
    void build();

    std::optional<ZV_AdvertModel> m_model;
    std::shared_ptr<UIImageView> m_imageView;
};
