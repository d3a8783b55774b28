#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/lists/UICollectionViewCell.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <functional>
#include <memory>
#include <string>

// The result-type strip above the results: two tabs, titles ("影片名") and cast ("演员名"), and
// under them the result count that the page writes. Choosing a tab reports its type.
class ZV_SearchTagCell : public UICollectionViewCell, public JXSegmentedViewDelegate {
public:
    static constexpr const char* byMovieName = "by_movie_name";
    static constexpr const char* byMemberName = "by_member_name";

    // A cell whose strip reports to it (it must be owned before it can be the strip's delegate).
    static std::shared_ptr<ZV_SearchTagCell> create();
    ZV_SearchTagCell();

    std::string className() const override { return "ZV_SearchTagCell"; }

    // Called with byMovieName for the first tab and byMemberName for the other, on every
    // selection, by tap or by code.
    std::function<void(const std::string&)> resTypeBlock;

    const std::shared_ptr<JXSegmentedTitleDataSource>& dataSource() const { return m_dataSource; }
    const std::shared_ptr<JXSegmentedIndicatorLineView>& indicator() const { return m_indicator; }
    const std::shared_ptr<JXSegmentedView>& segmentedView() const { return m_segmentedView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

    void didSelectedItemAt(JXSegmentedView& segmentedView, int index) override;

private:
    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<UILabel> m_titleLb;
};
