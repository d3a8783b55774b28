#pragma once

#include "platform/ui/UIView.h"

#include <memory>
#include <string>

class QMUILabel;

// One row of a list of choices on a panel: a name on the left, a note beside it and a count on
// the right, on a light rounded background. Panels on dark backgrounds restyle it.
class ZV_SourceContentListView : public UIView {
public:
    static std::shared_ptr<ZV_SourceContentListView> make(const CGRect& frame = {});
    explicit ZV_SourceContentListView(const CGRect& frame);

    std::string className() const override { return "ZV_SourceContentListView"; }

    const std::shared_ptr<QMUILabel>& name();
    const std::shared_ptr<QMUILabel>& tips();
    const std::shared_ptr<QMUILabel>& count();

    virtual void setupUI();

private:
    std::shared_ptr<QMUILabel> m_name;
    std::shared_ptr<QMUILabel> m_tips;
    std::shared_ptr<QMUILabel> m_count;
};
