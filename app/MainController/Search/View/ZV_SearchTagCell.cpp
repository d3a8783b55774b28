#include "app/MainController/Search/View/ZV_SearchTagCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchTagCell> ZV_SearchTagCell::create()
{
    auto cell = std::make_shared<ZV_SearchTagCell>();
    cell->m_segmentedView->setDelegate(cell);
    return cell;
}

ZV_SearchTagCell::ZV_SearchTagCell()
    : m_dataSource(std::make_shared<JXSegmentedTitleDataSource>())
    , m_indicator(std::make_shared<JXSegmentedIndicatorLineView>())
    , m_segmentedView(UIView::create<JXSegmentedView>())
    , m_titleLb(std::make_shared<UILabel>())
{
    m_dataSource->titles = { "影片名", "演员名" };
    m_dataSource->titleNormalColor = zvadaptive::textColor(colorWithHex("1D1942"));
    m_dataSource->titleSelectedColor = zvadaptive::textColor(colorWithHex("1D1942"));
    m_dataSource->isItemSpacingAverageEnabled = false;

    m_indicator->indicatorHeight = 4;
    m_indicator->indicatorColor = colorWithHex("03FFE1");
    m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;

    m_segmentedView->setDataSource(m_dataSource);
    m_segmentedView->setIndicators({ m_indicator });

    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_segmentedView);
    content->addSubview(m_titleLb);
    snp(m_segmentedView).makeConstraints([](ConstraintMaker& make) {
        make.left().top().right().equalToSuperview();
        make.height().equalTo(44);
    });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_segmentedView).bottom()).offset(4);
        make.left().bottom().equalToSuperview();
        make.height().equalTo(16);
    });
}

void ZV_SearchTagCell::didSelectedItemAt(JXSegmentedView&, int index)
{
    if (resTypeBlock)
        resTypeBlock(index == 0 ? byMovieName : byMemberName);
}
