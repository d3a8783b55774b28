#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIButton.h"

#include <functional>
#include <memory>

// What the search page shows when a search finds nothing: a picture, "没有结果，换个关键词试试"
// and the "反馈求片" button that leads to the request form.
class ZV_SearchEmptyView : public UIView {
public:
    // The view with its parts (the button's action must not keep the view alive).
    static std::shared_ptr<ZV_SearchEmptyView> create(const CGRect& frame = {});
    explicit ZV_SearchEmptyView(const CGRect& frame = {});

    std::string className() const override { return "ZV_SearchEmptyView"; }

    std::function<void()> btnClickBlock;

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UIButton>& enterBtn() const { return m_enterBtn; }

private:
    void setupUI();

    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIButton> m_enterBtn;
};
