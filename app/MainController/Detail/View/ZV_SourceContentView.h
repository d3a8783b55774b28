#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
class UIStackView;
class ZV_SourceContentListView;
struct ZV_DetailDataListPlayFromModel;

// The play sources in a white bottom sheet titled "切换资源": one row per source with its name,
// note and number of videos, the source in use marked. A tap on a row hands the source's code
// to clickSource; the sheet never closes itself.
class ZV_SourceContentView : public UIView {
public:
    static constexpr CGFloat rowHeight = 54;

    // Built and laid out; the constructor alone leaves it empty.
    static std::shared_ptr<ZV_SourceContentView> make(const CGRect& frame);
    explicit ZV_SourceContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SourceContentView"; }

    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromModel>> list;
    std::function<void(const std::string&)> clickSource;

    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<UIStackView>& stackView() const { return m_stackView; }
    // The rows of the sources, in order.
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows() const;

    // One row per source of `list`, appended to the stack.
    virtual void reloadRows();

    virtual void setupUI();

private:

    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<UIStackView> m_stackView;
};
