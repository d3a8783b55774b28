#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <memory>
#include <string>

// A section title of a QMUITableView: the title inside the content insets, in the font and
// colours the configuration gives the table's style. Its height is the style's default height
// when that is set, else the insets around one line of the title.
class QMUITableViewHeaderFooterView : public UIView {
public:
    QMUITableViewHeaderFooterView(
        std::string title, const QMUIConfiguration::TableStyleValues::Section& look);

    std::string className() const override { return "QMUITableViewHeaderFooterView"; }
    const std::shared_ptr<UILabel>& titleLabel() const { return m_label; }

    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> m_label;
    UIEdgeInsets m_contentInset;
};
