#pragma once

#include "platform/ui/UIView.h"

#include <memory>

class UIImageView;
class UILabel;

// A white rounded row offering one way to register or recover: an icon, a title and an arrow.
// The page sets the icon and the title and adds the tap.
class ZV_RegisterTypeView : public UIView {
public:
    // Subviews learn their superview only once the row is owned, so rows are made here.
    static std::shared_ptr<ZV_RegisterTypeView> make(const CGRect& frame = {});
    explicit ZV_RegisterTypeView(const CGRect& frame = {});

    std::string className() const override { return "ZV_RegisterTypeView"; }

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UIImageView>& arrowView() const { return m_arrowView; }

    void layoutSubviews() override;

private:
    void setupUI();

    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIImageView> m_arrowView;
};
