#pragma once

#include "app/BaseController/BaseTableViewCell.h"
#include "app/Core/Models/ZV_DownLoadModel.h"

#include <memory>
#include <optional>
#include <string>

class QMUILabel;

// The first row under the offline player: the title's name and a grey badge saying that a local
// copy is playing.
class ZV_OfflineInfoCell : public BaseTableViewCell {
public:
    static constexpr const char* infoText = "正在播放本地缓存视频";

    explicit ZV_OfflineInfoCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_OfflineInfoCell"; }

    std::optional<ZV_DownLoadModel> model;

    const std::shared_ptr<QMUILabel>& zv_title();
    const std::shared_ptr<QMUILabel>& zv_info();

    virtual void setupUI();

private:
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUILabel> m_info;
};
