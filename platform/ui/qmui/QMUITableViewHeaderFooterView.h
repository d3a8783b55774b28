#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <memory>
#include <string>

// A section title of a QMUITableView: the title inside the content insets, in the font and
// colours the configuration gives the table's style. Its height is the style's default height
// when that is set, else the insets around one line of the title. An accessory view sits at the
// right within the insets, its margins around it (the configured ones unless set), vertically
// centred; the title keeps clear of it.
class QMUITableViewHeaderFooterView : public UIView {
public:
    QMUITableViewHeaderFooterView(
        std::string title, const QMUIConfiguration::TableStyleValues::Section& look);

    std::string className() const override { return "QMUITableViewHeaderFooterView"; }
    const std::shared_ptr<UILabel>& titleLabel() const { return m_label; }

    const std::shared_ptr<UIView>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(std::shared_ptr<UIView> view);
    UIEdgeInsets accessoryViewMargins() const { return m_accessoryMargins; }
    void setAccessoryViewMargins(UIEdgeInsets margins);

    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> m_label;
    std::shared_ptr<UIView> m_accessoryView;
    UIEdgeInsets m_contentInset;
    UIEdgeInsets m_accessoryMargins;
};
