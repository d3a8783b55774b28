#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/text/NSAttributedString.h"

#include <memory>
#include <string>

class QMUIButton;
class QMUILabel;
class UIImageView;
class UIScrollView;
struct ZV_DetailModel;

// The title's introduction in a bottom sheet: under the header "简介" with its close button, a
// scrolling column with the name, the heat and the info line, the credits and the synopsis. The
// presenter sets `model`, calls reloadData() and gives closeBtn its action.
class ZV_DetailsContentView : public UIView {
public:
    // Built and laid out; the constructor alone leaves it empty.
    static std::shared_ptr<ZV_DetailsContentView> make(const CGRect& frame = {});
    explicit ZV_DetailsContentView(const CGRect& frame);

    std::string className() const override { return "ZV_DetailsContentView"; }

    std::shared_ptr<ZV_DetailModel> model;

    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<UIScrollView>& zv_scrollView() const { return m_scrollView; }
    const std::shared_ptr<QMUILabel>& zv_title() const { return m_zvTitle; }
    const std::shared_ptr<UIImageView>& zv_fireView() const { return m_fireView; }
    const std::shared_ptr<QMUILabel>& zv_fire() const { return m_fire; }
    const std::shared_ptr<QMUILabel>& zv_info() const { return m_info; }
    const std::shared_ptr<QMUILabel>& zv_actorTitle() const { return m_actorTitle; }
    const std::shared_ptr<QMUILabel>& zv_actorInfo() const { return m_actorInfo; }
    const std::shared_ptr<QMUILabel>& zv_descTitle() const { return m_descTitle; }
    const std::shared_ptr<QMUILabel>& zv_descInfo() const { return m_descInfo; }

    // Fills every label from `model` (empty without one).
    virtual void reloadData();

    // "导演 " and the directors, "编剧 " and the screenwriters, "主演 " and the actors, each group's
    // names joined by ", " and the groups by four spaces; the labels at half strength.
    static NSAttributedString creditsText(const ZV_DetailModel& model);

    void layoutSubviews() override;

    virtual void setupUI();

private:

    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<UIScrollView> m_scrollView;
    std::shared_ptr<QMUILabel> m_zvTitle;
    std::shared_ptr<UIImageView> m_fireView;
    std::shared_ptr<QMUILabel> m_fire;
    std::shared_ptr<QMUILabel> m_info;
    std::shared_ptr<QMUILabel> m_actorTitle;
    std::shared_ptr<QMUILabel> m_actorInfo;
    std::shared_ptr<QMUILabel> m_descTitle;
    std::shared_ptr<QMUILabel> m_descInfo;
};
