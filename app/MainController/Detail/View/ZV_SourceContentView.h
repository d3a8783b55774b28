#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
struct ZV_DetailDataListPlayFromModel;

// The play sources in a bottom sheet, titled "切换资源": one row per source. A row hands the
// source's code to clickSource.
class ZV_SourceContentView : public UIView {
public:
    explicit ZV_SourceContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SourceContentView"; }

    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromModel>> list;
    std::function<void(const std::string&)> clickSource;

    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::vector<std::shared_ptr<QMUIButton>>& rows() const { return m_rows; }

    // One row per entry of `list`.
    void reloadRows();

    void layoutSubviews() override;

private:
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::vector<std::shared_ptr<QMUIButton>> m_rows;
};
