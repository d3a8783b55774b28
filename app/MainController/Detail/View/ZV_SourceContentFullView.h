#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIStackView;
class UIVisualEffectView;
class ZV_SourceContentListView;
struct ZV_DetailDataListPlayFromModel;

// The play sources over the full-screen player: a blurred panel at the right with one row per
// source (its name, the source in use in the accent colour, and its number of videos). A tap on a
// row hands the source's code to clickSource.
class ZV_SourceContentFullView : public UIView {
public:
    static constexpr CGFloat rowHeight = 54;

    // Built and laid out; the constructor alone leaves it empty.
    static std::shared_ptr<ZV_SourceContentFullView> make(const CGRect& frame);
    explicit ZV_SourceContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_SourceContentFullView"; }

    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromModel>> list;
    std::function<void(const std::string&)> clickSource;

    const std::shared_ptr<UIVisualEffectView>& blurView() const { return m_blurView; }
    const std::shared_ptr<UIStackView>& stackView() const { return m_stackView; }
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows() const;

    // One row per source of `list`, appended to the stack.
    virtual void reloadRows();

    virtual void setupUI();

private:

    std::shared_ptr<UIVisualEffectView> m_blurView;
    std::shared_ptr<UIStackView> m_stackView;
};
