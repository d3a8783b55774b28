#pragma once

#include "platform/ui/lists/UITableViewCell.h"

#include <functional>
#include <memory>

class UILabel;
class UIStackView;
class UISwitch;
class UIView;

// A row of the settings page: a title (and an optional tip under it) on the left, and on the
// right a value text or a switch, above a hairline. The switch carries one change handler at a
// time: the dark-mode handler from construction until the page gives it its own.
class ZV_SettingCell : public UITableViewCell {
public:
    using SwitchHandler = std::function<void(UISwitch&)>;

    explicit ZV_SettingCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_SettingCell"; }

    const std::shared_ptr<UIStackView>& stackView() const { return m_stackView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& tipLb() const { return m_tipLb; }
    const std::shared_ptr<UILabel>& desLb() const { return m_desLb; }
    const std::shared_ptr<UIView>& lineView() const { return m_lineView; }
    const std::shared_ptr<UISwitch>& switchView() const { return m_switchView; }

    // Replaces the switch's change handler.
    void setSwitchHandler(SwitchHandler handler);
    // Stores the switch's state as the dark-mode flag and shows that style (ChosenStyle::choose).
    static void darkModeChanged(UISwitch& sender);

private:
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_tipLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIView> m_lineView;
    std::shared_ptr<UISwitch> m_switchView;
};
