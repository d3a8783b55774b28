#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <map>
#include <memory>

class JXSegmentedListContainerView;

namespace detail {
class JXListContainerViewController;
class JXListContainerScrollAdapter;
}

// One page of a list container: a view, or a view controller answering with its own view.
// The appearance methods are optional; a view controller also gets its own appearance calls
// (viewWillAppear...) as its page comes and goes.
class JXSegmentedListContainerViewListDelegate {
public:
    virtual ~JXSegmentedListContainerViewListDelegate() = default;
    virtual std::shared_ptr<UIView> listView() = 0;
    virtual void listWillAppear() { }
    virtual void listDidAppear() { }
    virtual void listWillDisappear() { }
    virtual void listDidDisappear() { }
};

// Where a list container gets its pages. Held weakly.
class JXSegmentedListContainerViewDataSource {
public:
    virtual ~JXSegmentedListContainerViewDataSource() = default;
    virtual int numberOfLists(JXSegmentedListContainerView&) = 0;
    // The page of the index; asked once per index until the next reload.
    virtual std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index)
        = 0;
};

// The container's two kinds; both lay the pages side by side in a horizontally paging scroll view.
enum class JXSegmentedListContainerType { scrollView, collectionView };

// The pages under a tab bar, side by side in a paging scroll view, one page per item. A page is
// made the first time it is shown. Only the page on show appears: its list and, for a view
// controller, its appearance calls follow the selection (leaving page's will, coming page's
// will, leaving page's did, coming page's did) and the appearance of the screen holding the
// container. An inner controller, made a child of the nearest controller above the container
// once there is one, is the parent of the page controllers. A swipe that settles on another page
// shows it and tells the tab bar, which selects the item.
class JXSegmentedListContainerView : public UIView, public JXSegmentedViewListContainer {
public:
    explicit JXSegmentedListContainerView(std::weak_ptr<JXSegmentedListContainerViewDataSource> dataSource,
        JXSegmentedListContainerType type = JXSegmentedListContainerType::scrollView);
    ~JXSegmentedListContainerView() override;

    std::string className() const override { return "JXSegmentedListContainerView"; }

    std::shared_ptr<JXSegmentedListContainerViewDataSource> dataSource() const { return m_dataSource.lock(); }
    JXSegmentedListContainerType type() const { return m_type; }
    // The paging scroll view (screens turn its scrolling off to allow taps only).
    const std::shared_ptr<UIScrollView>& scrollView() const { return m_scrollView; }
    // The parent of the page controllers.
    std::shared_ptr<UIViewController> containerViewController() const;

    int currentIndex() const { return m_currentIndex; }
    int defaultSelectedIndex() const { return m_defaultSelectedIndex; }
    // The pages made since the last reload, by index.
    const std::map<int, std::shared_ptr<JXSegmentedListContainerViewListDelegate>>& validListDict() const
    {
        return m_lists;
    }

    // Asks the data source again: the pages are dropped and the current one is made anew.
    void reloadData() override;
    void setDefaultSelectedIndex(int index) override;
    void didClickSelectedItem(int index) override;
    void setPageSettledHandler(PageSettledHandler handler) override { m_pageSettled = std::move(handler); }

    void layoutSubviews() override;
    void didMoveToSuperview() override;
    void didMoveToWindow() override;

private:
    friend class detail::JXListContainerViewController;
    friend class detail::JXListContainerScrollAdapter;

    // Asked of the data source each time, so that a container never reloaded still finds its pages.
    int numberOfLists();
    bool isValidIndex(int index) { return index >= 0 && index < numberOfLists(); }
    CGRect pageFrame(int index) const;
    void attachViews();
    void attachToHost();
    bool isShowing() const;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> list(int index) const;
    // The page of the index, made (and put in place) when it does not exist yet.
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> ensureList(int index);
    void installList(int index, const std::shared_ptr<JXSegmentedListContainerViewListDelegate>& list);
    void retireList(const std::shared_ptr<JXSegmentedListContainerViewListDelegate>& list);
    void listWillAppear(int index);
    void listDidAppear(int index);
    void listWillDisappear(int index);
    void listDidDisappear(int index);
    void switchPage(int from, int to);
    void scrollToCurrentPage();
    // Swipes.
    void swipeMoved();
    void swipeSettled();

    std::weak_ptr<JXSegmentedListContainerViewDataSource> m_dataSource;
    JXSegmentedListContainerType m_type;
    std::shared_ptr<UIScrollView> m_scrollView;
    std::shared_ptr<detail::JXListContainerScrollAdapter> m_scrollAdapter;
    std::shared_ptr<detail::JXListContainerViewController> m_containerVC;
    std::map<int, std::shared_ptr<JXSegmentedListContainerViewListDelegate>> m_lists;
    PageSettledHandler m_pageSettled;
    int m_currentIndex = 0;
    int m_defaultSelectedIndex = 0;
    CGSize m_laidOutSize { -1, -1 };
};
