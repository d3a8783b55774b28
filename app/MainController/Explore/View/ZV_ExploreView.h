#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"

#include <memory>
#include <string>

class CAGradientLayer;
struct ZV_MovieExploreModel;

// One explore card: the title's backdrop filling a white card with rounded corners, darkened
// towards the bottom by a blue shade that carries its name, a type line ("电影 / year / tags"),
// the cast ("主演：…") and the blurb. A card without a title shows the placeholder backdrop and
// empty texts.
class ZV_ExploreView : public UIView {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr CGFloat cornerRadius = 24;

    // A card with its parts in place and its look set.
    static std::shared_ptr<ZV_ExploreView> make(const CGRect& frame = {});
    ZV_ExploreView(Passkey, const CGRect& frame);

    std::string className() const override { return "ZV_ExploreView"; }

    const std::shared_ptr<const ZV_MovieExploreModel>& model() const { return m_model; }
    // Fills the card from the title.
    void setModel(std::shared_ptr<const ZV_MovieExploreModel> model);

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIImageView>& bgImgView() const { return m_bgImgView; }
    const std::shared_ptr<UIView>& shadeView() const { return m_shadeView; }
    const std::shared_ptr<UILabel>& contentLb() const { return m_contentLb; }
    const std::shared_ptr<UIView>& lineView() const { return m_lineView; }
    const std::shared_ptr<UILabel>& tipLb() const { return m_tipLb; }
    const std::shared_ptr<UILabel>& desLb() const { return m_desLb; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    // The shade's gradient: made once with the card, only fitted to the shade on layout.
    const std::shared_ptr<CAGradientLayer>& shadeGradient() const { return m_shadeGradient; }

    // Lays the parts out at once, then fits the gradient to the shade.
    void layoutSubviews() override;

private:
    void build();
    void awakeFromNib();

    std::shared_ptr<const ZV_MovieExploreModel> m_model;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIImageView> m_bgImgView;
    std::shared_ptr<UIView> m_shadeView;
    std::shared_ptr<UILabel> m_contentLb;
    std::shared_ptr<UIView> m_lineView;
    std::shared_ptr<UILabel> m_tipLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<CAGradientLayer> m_shadeGradient;
};
