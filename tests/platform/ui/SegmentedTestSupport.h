#pragma once

#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/TypeName.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedTitleImageDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace segtest {

// A page controller of a list container: its own view is the list view.
class PageController : public UIViewController, public JXSegmentedListContainerViewListDelegate {
public:
    std::string className() const override { return "PageController"; }
    std::shared_ptr<UIView> listView() override { return view(); }
};

using RecordingPage = uitest::Recording<PageController>;

// A screen with a tab bar of titles over a list container of recording pages, made lazily and
// kept, as the app's tab screens do. Delegate calls go to the journal as "tabs.<call> <index>".
class TabsHost : public UIViewController,
                 public JXSegmentedViewDelegate,
                 public JXSegmentedListContainerViewDataSource {
public:
    TabsHost(uitest::Journal journal, std::vector<std::string> titles)
        : m_journal(std::move(journal))
        , m_titles(std::move(titles))
    { }

    std::string className() const override { return "TabsHost"; }

    std::shared_ptr<JXSegmentedTitleDataSource> dataSource = std::make_shared<JXSegmentedTitleDataSource>();
    std::shared_ptr<JXSegmentedIndicatorLineView> indicator
        = std::make_shared<JXSegmentedIndicatorLineView>();
    std::shared_ptr<JXSegmentedView> segmentedView = std::make_shared<JXSegmentedView>();
    std::shared_ptr<JXSegmentedListContainerView> listContainer;
    std::vector<std::shared_ptr<RecordingPage>> pages;
    int listsAsked = 0;

    void viewDidLoad() override
    {
        UIViewController::viewDidLoad();
        listContainer = std::make_shared<JXSegmentedListContainerView>(
            std::static_pointer_cast<TabsHost>(sharedFromThis()));
        dataSource->titles = m_titles;
        dataSource->titleNormalColor = UIColor::gray();
        dataSource->titleSelectedColor = UIColor::black();
        indicator->indicatorColor = UIColor::blue();
        segmentedView->setDelegate(std::static_pointer_cast<TabsHost>(sharedFromThis()));
        segmentedView->setDataSource(dataSource);
        segmentedView->setIndicators({ indicator });
        segmentedView->setListContainer(listContainer);
        segmentedView->setFrame({ 0, 100, 390, 44 });
        listContainer->setFrame({ 0, 144, 390, 600 });
        view()->addSubview(segmentedView);
        view()->addSubview(listContainer);
        if (reloadsOnLoad)
            segmentedView->reloadData();
    }

    int numberOfLists(JXSegmentedListContainerView&) override
    {
        return static_cast<int>(dataSource->titles.size());
    }
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override
    {
        ++listsAsked;
        if (pages.size() <= static_cast<std::size_t>(index))
            pages.resize(index + 1);
        if (!pages[index])
            pages[index] = std::make_shared<RecordingPage>("page" + std::to_string(index), m_journal);
        return pages[index];
    }

    void didSelectedItemAt(JXSegmentedView& view, int index) override
    {
        log("selected", index);
        if (reloadsItemsOnSelection)
            view.reloadDataWithoutListContainer();
    }
    void didClickSelectedItemAt(JXSegmentedView&, int index) override { log("click", index); }
    void didScrollSelectedItemAt(JXSegmentedView&, int index) override { log("scroll", index); }
    bool canClickItemAt(JXSegmentedView&, int index) override { return index != refusedIndex; }

    int refusedIndex = -1;
    // Set before the view loads: without, the bar builds itself on its first layout.
    bool reloadsOnLoad = true;
    // As the root tab bar does: the items are rebuilt after every selection.
    bool reloadsItemsOnSelection = false;

private:
    void log(const std::string& call, int index)
    {
        m_journal->push_back("tabs." + call + " " + std::to_string(index));
    }

    uitest::Journal m_journal;
    std::vector<std::string> m_titles;
};

// A plain icon: a filled disc, darker when selected, with the index as its number of notches.
inline UIImage icon(bool selected, CGSize size = { 26, 26 })
{
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        context.setFillColor(selected ? UIColor(0.11, 0.1, 0.26, 1) : UIColor(0.7, 0.7, 0.75, 1));
        context.addPath(UIBezierPath::ovalIn({ { 2, 2 }, { size.width - 4, size.height - 4 } }).cgPath());
        context.fillPath();
    });
}

}
