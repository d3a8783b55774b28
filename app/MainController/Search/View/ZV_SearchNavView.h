#pragma once

#include "app/Theme/ZVAdaptiveImageView.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UITextField.h"

#include <memory>

// The search field of the search page: a capsule with a magnifier and the text field. The page
// reads and writes the field's text and attaches its own change and return handlers.
class ZV_SearchNavView : public UIView {
public:
    // The bar with its parts in place (a view must be owned before it takes subviews).
    static std::shared_ptr<ZV_SearchNavView> create(const CGRect& frame = {});
    explicit ZV_SearchNavView(const CGRect& frame = {});

    std::string className() const override { return "ZV_SearchNavView"; }

    // The placeholder's colour in both styles.
    static UIColor placeholderColor();

    const std::shared_ptr<ZVAdaptiveImageView>& zv_imageView() const { return m_imageView; }
    const std::shared_ptr<UITextField>& zv_searchField() const { return m_searchField; }

    // A capsule at every size.
    void layoutSubviews() override;

private:
    void build();

    std::shared_ptr<ZVAdaptiveImageView> m_imageView;
    std::shared_ptr<UITextField> m_searchField;
};
