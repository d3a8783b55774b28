#pragma once

#include "platform/ui/lists/UITableViewCell.h"

#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class QMUILabel;
class UIImageView;
struct ZV_DetailModel;

// Row 0 of the title page: the name, the heat beside a flame, the info line (type, year and
// tags) and the "简介" button that opens the introduction.
class ZV_PlayerInfoCell : public UITableViewCell {
public:
    explicit ZV_PlayerInfoCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerInfoCell"; }

    const std::shared_ptr<QMUILabel>& zv_title();
    const std::shared_ptr<UIImageView>& zv_fireView();
    const std::shared_ptr<QMUILabel>& zv_fire();
    const std::shared_ptr<UIView>& zv_spacing();
    const std::shared_ptr<QMUILabel>& zv_info();
    const std::shared_ptr<QMUIButton>& zv_descBtn();

    std::function<void()> clickDesc;
    std::shared_ptr<ZV_DetailModel> model;

    // Fills the labels from `model`.
    void reloadData();

    // Type, year and each tag's name, joined by the separator.
    static std::string infoText(const ZV_DetailModel& model, const std::string& separator);

private:
    void setupUI();

    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<UIImageView> m_fireView;
    std::shared_ptr<QMUILabel> m_fire;
    std::shared_ptr<UIView> m_spacing;
    std::shared_ptr<QMUILabel> m_info;
    std::shared_ptr<QMUIButton> m_descBtn;
};
