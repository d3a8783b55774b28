#pragma once

#include "app/BaseController/BaseTableViewCell.h"
#include "platform/json/JSON.h"

#include <memory>
#include <string>

class QMUILabel;
class UIView;

// One system notice: its time above a rounded card with the title and, for a plain notice, the
// text. Link and title notices show only their title, smaller and centred in the card.
class ZV_MessageCell : public BaseTableViewCell {
public:
    explicit ZV_MessageCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_MessageCell"; }

    const std::shared_ptr<QMUILabel>& zv_timeLabel() const { return m_timeLabel; }
    const std::shared_ptr<UIView>& zv_cardView() const { return m_cardView; }
    const std::shared_ptr<QMUILabel>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<QMUILabel>& zv_contentLabel() const { return m_contentLabel; }

    // Fills the cell from one notice of the list.
    void setNotice(const JSON& notice);

    // Seconds since 1970 as "yyyy-MM-dd HH:mm" in the device's time zone.
    static std::string timeText(std::int64_t seconds);

private:
    void setupUI();

    std::shared_ptr<QMUILabel> m_timeLabel;
    std::shared_ptr<UIView> m_cardView;
    std::shared_ptr<QMUILabel> m_titleLabel;
    std::shared_ptr<QMUILabel> m_contentLabel;
};
