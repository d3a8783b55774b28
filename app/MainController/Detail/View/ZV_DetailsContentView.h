#pragma once

#include "platform/ui/UIView.h"

#include <memory>
#include <string>

class QMUIButton;
class QMUILabel;
struct ZV_DetailModel;

// The title's introduction in a bottom sheet: name and synopsis. The presenter sets `model`,
// calls reloadData() and gives closeBtn its action.
class ZV_DetailsContentView : public UIView {
public:
    ZV_DetailsContentView();
    explicit ZV_DetailsContentView(const CGRect& frame);

    std::string className() const override { return "ZV_DetailsContentView"; }

    std::shared_ptr<ZV_DetailModel> model;

    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUILabel>& descInfo() const { return m_descInfo; }

    // Fills the labels from `model` (empty without one).
    void reloadData();

    void layoutSubviews() override;

private:
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUILabel> m_descInfo;
};
