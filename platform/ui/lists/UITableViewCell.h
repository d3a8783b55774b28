#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"

#include <memory>
#include <string>

enum class UITableViewCellStyle {
    // Image and title on the left.
    defaultStyle,
    // Title on the left, detail right-aligned on the right.
    value1,
    // Title with the detail in a smaller grey font below it.
    subtitle,
};

enum class UITableViewCellSelectionStyle { none, blue, gray, defaultStyle };

enum class UITableViewCellAccessoryType { none, disclosureIndicator, checkmark };

// A row of a table view. Content goes into contentView; the standard parts (textLabel,
// detailTextLabel, imageView) are made on first access and laid out by the style when they have
// something to show. Subviews of the cell itself are added once it is owned (first access to
// contentView afterwards, or when it is shown).
class UITableViewCell : public UIView {
public:
    static constexpr CGFloat defaultHeight = 44;
    static constexpr CGFloat horizontalMargin = 15;

    explicit UITableViewCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "UITableViewCell"; }

    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    UITableViewCellStyle style() const { return m_style; }

    const std::shared_ptr<UIView>& contentView() const;
    const std::shared_ptr<UILabel>& textLabel() const;
    // None in the default style.
    std::shared_ptr<UILabel> detailTextLabel() const;
    const std::shared_ptr<UIImageView>& imageView() const;

    UITableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    virtual void setAccessoryType(UITableViewCellAccessoryType type);
    // Shown in place of the accessory type when set.
    const std::shared_ptr<UIView>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(std::shared_ptr<UIView> view);

    // Shown behind the content while selected or highlighted; a grey view unless set.
    const std::shared_ptr<UIView>& selectedBackgroundView() const { return m_selectedBackground; }
    void setSelectedBackgroundView(std::shared_ptr<UIView> view);

    UITableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(UITableViewCellSelectionStyle style);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted, bool animated = false);

    // Resets selection and highlight; overrides call the base.
    virtual void prepareForReuse();

    void layoutSubviews() override;
    void didMoveToSuperview() override;
    // The height the standard parts need at the width (at least defaultHeight).
    CGSize sizeThatFits(CGSize size) const override;

    // The hairline under the row, drawn by the cell as the table asks.
    bool showsSeparator() const { return m_separatorShown; }
    void setSeparator(bool shown, const UIColor& color, UIEdgeInsets inset);

private:
    friend class UITableView;
    void attachParts() const;
    void updateHighlight();
    CGRect contentFrame() const;

    UITableViewCellStyle m_style;
    std::string m_reuseIdentifier;
    std::shared_ptr<UIView> m_contentView;
    mutable std::shared_ptr<UILabel> m_textLabel;
    mutable std::shared_ptr<UILabel> m_detailTextLabel;
    mutable std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIView> m_accessoryView;
    std::shared_ptr<UIView> m_standardAccessory;
    std::shared_ptr<UIView> m_selectedBackground;
    std::shared_ptr<UIView> m_separator;
    UIEdgeInsets m_separatorInset;
    UITableViewCellAccessoryType m_accessoryType = UITableViewCellAccessoryType::none;
    UITableViewCellSelectionStyle m_selectionStyle = UITableViewCellSelectionStyle::defaultStyle;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_separatorShown = false;
};
