#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
struct ZV_DetailDataListPlayFromModel;

// The play sources over the full-screen player: one row per source on a dark panel. A row hands
// the source's code to clickSource.
class ZV_SourceContentFullView : public UIView {
public:
    explicit ZV_SourceContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_SourceContentFullView"; }

    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromModel>> list;
    std::function<void(const std::string&)> clickSource;

    const std::vector<std::shared_ptr<QMUIButton>>& rows() const { return m_rows; }

    // One row per entry of `list`.
    void reloadRows();

    void layoutSubviews() override;

private:
    std::vector<std::shared_ptr<QMUIButton>> m_rows;
};
