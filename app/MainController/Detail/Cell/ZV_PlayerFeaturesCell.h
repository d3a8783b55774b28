#pragma once

#include "platform/ui/lists/UITableViewCell.h"

#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class UIStackView;
struct ZV_DetailModel;

// Row 1 of the title page: download, favourite, feedback and share. The favourite shows the
// title's state as last reloaded; the share button opens the poster itself.
class ZV_PlayerFeaturesCell : public UITableViewCell {
public:
    static constexpr const char* collectTitle = "收藏影片";
    static constexpr const char* collectedTitle = "已收藏";

    explicit ZV_PlayerFeaturesCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerFeaturesCell"; }

    const std::shared_ptr<QMUIButton>& zv_downloadBtn() const { return m_downloadBtn; }
    const std::shared_ptr<QMUIButton>& zv_collectBtn() const { return m_collectBtn; }
    const std::shared_ptr<QMUIButton>& zv_feedbackBtn() const { return m_feedbackBtn; }
    const std::shared_ptr<QMUIButton>& zv_shareBtn() const { return m_shareBtn; }
    const std::shared_ptr<UIStackView>& zv_stackView() const { return m_stackView; }
    const std::shared_ptr<UIView>& zv_line() const { return m_line; }

    std::shared_ptr<ZV_DetailModel> model;
    std::function<void()> clickDownload;
    std::function<void()> clickCollect;
    std::function<void()> clickFeedback;

    // The favourite button from `model.isCollect`.
    void reloadData();
    // Opens the title's share poster from the top screen.
    void share();

private:
    void setupUI();

    std::shared_ptr<QMUIButton> m_downloadBtn;
    std::shared_ptr<QMUIButton> m_collectBtn;
    std::shared_ptr<QMUIButton> m_feedbackBtn;
    std::shared_ptr<QMUIButton> m_shareBtn;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UIView> m_line;
};
