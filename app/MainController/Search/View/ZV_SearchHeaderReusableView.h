#pragma once

#include "app/BaseController/BaseCollectionReusableView.h"
#include "app/MainController/Search/Controller/ZV_SearchSectionType.h"
#include "app/Theme/ZVAdaptiveImageView.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"

#include <memory>

// A section title with an icon at the right: "搜索历史" with the delete icon over the history,
// "大家都在搜" with the refresh icon over the hot words. It has no action of its own; the owner
// handles taps. The feedback form uses it as a plain title, its icon hidden.
class ZV_SearchHeaderReusableView : public BaseCollectionReusableView {
public:
    // The header with its parts in place (a view must be owned before it takes subviews).
    static std::shared_ptr<ZV_SearchHeaderReusableView> create();
    ZV_SearchHeaderReusableView();

    std::string className() const override { return "ZV_SearchHeaderReusableView"; }

    ZV_SearchSectionType sectionType() const { return m_sectionType; }
    // History and hot words set the text and icon; any other kind leaves them as they were.
    void setSectionType(ZV_SearchSectionType type);

    const std::shared_ptr<UILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<ZVAdaptiveImageView>& zv_iconView() const { return m_iconView; }

private:
    void layOutParts();

    ZV_SearchSectionType m_sectionType = ZV_SearchSectionType::history;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<ZVAdaptiveImageView> m_iconView;
};
