#pragma once

#include "platform/ui/lists/UICollectionReusableView.h"

#include <memory>

// A cell of a collection view. Content goes into contentView, which fills the cell above the
// optional background views. The contentView can be filled from a subclass's constructor; it is
// put into the cell once the cell is owned (first access afterwards, or when it is shown).
class UICollectionViewCell : public UICollectionReusableView {
public:
    UICollectionViewCell();
    explicit UICollectionViewCell(const CGRect& frame);

    std::string className() const override { return "UICollectionViewCell"; }

    const std::shared_ptr<UIView>& contentView() const;

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);

    // Behind the content; the selected one shows while the cell is selected or highlighted.
    const std::shared_ptr<UIView>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(std::shared_ptr<UIView> view);

    // Resets the selection and highlight; overrides call the base.
    void prepareForReuse() override;
    // With constraints in the content view: the size they give at the proposed size (fitting
    // priority both ways); otherwise the proposed attributes.
    UICollectionViewLayoutAttributesPtr preferredLayoutAttributesFitting(
        const UICollectionViewLayoutAttributes& attributes) override;

    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    void attachParts() const;
    void updateBackgrounds();

    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIView> m_backgroundView;
    std::shared_ptr<UIView> m_selectedBackgroundView;
    bool m_selected = false;
    bool m_highlighted = false;
};
