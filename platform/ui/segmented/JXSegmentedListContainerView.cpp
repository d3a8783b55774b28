#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <algorithm>
#include <cmath>

namespace detail {

// The parent of the page controllers. It forwards nothing by itself: the container sends the
// pages their appearance calls, and this controller's own appearance (that of the screen holding
// the container) goes to the page on show.
class JXListContainerViewController final : public UIViewController {
public:
    explicit JXListContainerViewController(JXSegmentedListContainerView& owner)
        : m_owner(&owner)
    { }

    std::string className() const override { return "JXSegmentedListContainerViewController"; }

    void detachOwner() { m_owner = nullptr; }

    bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }

    void loadView() override
    {
        auto view = std::make_shared<UIView>();
        view->setBackgroundColor(UIColor::clear());
        setView(std::move(view));
    }

    void viewWillAppear(bool animated) override
    {
        UIViewController::viewWillAppear(animated);
        if (m_owner)
            m_owner->listWillAppear(m_owner->m_currentIndex);
    }
    void viewDidAppear(bool animated) override
    {
        UIViewController::viewDidAppear(animated);
        if (m_owner)
            m_owner->listDidAppear(m_owner->m_currentIndex);
    }
    void viewWillDisappear(bool animated) override
    {
        UIViewController::viewWillDisappear(animated);
        if (m_owner)
            m_owner->listWillDisappear(m_owner->m_currentIndex);
    }
    void viewDidDisappear(bool animated) override
    {
        UIViewController::viewDidDisappear(animated);
        if (m_owner)
            m_owner->listDidDisappear(m_owner->m_currentIndex);
    }

private:
    JXSegmentedListContainerView* m_owner;
};

class JXListContainerScrollAdapter final : public UIScrollViewDelegate {
public:
    explicit JXListContainerScrollAdapter(JXSegmentedListContainerView& owner)
        : m_owner(owner)
    { }

    void scrollViewDidScroll(UIScrollView&) override { m_owner.swipeMoved(); }
    void scrollViewDidEndDragging(UIScrollView&, bool willDecelerate) override
    {
        if (!willDecelerate)
            m_owner.swipeSettled();
    }
    void scrollViewDidEndDecelerating(UIScrollView&) override { m_owner.swipeSettled(); }

private:
    JXSegmentedListContainerView& m_owner;
};

}

JXSegmentedListContainerView::JXSegmentedListContainerView(
    std::weak_ptr<JXSegmentedListContainerViewDataSource> dataSource, JXSegmentedListContainerType type)
    : m_dataSource(std::move(dataSource))
    , m_type(type)
    , m_scrollView(std::make_shared<UIScrollView>())
    , m_scrollAdapter(std::make_shared<detail::JXListContainerScrollAdapter>(*this))
    , m_containerVC(std::make_shared<detail::JXListContainerViewController>(*this))
{
    m_scrollView->setPagingEnabled(true);
    m_scrollView->setBounces(false);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setShowsVerticalScrollIndicator(false);
    m_scrollView->setScrollsToTop(false);
    m_scrollView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    m_scrollView->setDelegate(m_scrollAdapter);
}

JXSegmentedListContainerView::~JXSegmentedListContainerView()
{
    m_containerVC->detachOwner();
    if (m_containerVC->parent()) {
        m_containerVC->willMove(nullptr);
        m_containerVC->removeFromParent();
    }
}

std::shared_ptr<UIViewController> JXSegmentedListContainerView::containerViewController() const
{
    return m_containerVC;
}

// ---- Hierarchy ----

void JXSegmentedListContainerView::attachViews()
{
    // A view can take subviews only once it is owned.
    if (weak_from_this().expired())
        return;
    const auto& containerView = m_containerVC->view();
    if (containerView->superview().get() != this) {
        containerView->setFrame(bounds());
        insertSubview(containerView, 0);
    }
    if (m_scrollView->superview() != containerView) {
        m_scrollView->setFrame({ {}, bounds().size });
        containerView->addSubview(m_scrollView);
    }
}

void JXSegmentedListContainerView::attachToHost()
{
    if (weak_from_this().expired())
        return;
    std::shared_ptr<UIViewController> host;
    for (auto responder = nextResponder(); responder; responder = responder->nextResponder()) {
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(responder)) {
            host = std::move(controller);
            break;
        }
    }
    auto current = m_containerVC->parent();
    if (host == current)
        return;
    if (current) {
        m_containerVC->willMove(nullptr);
        m_containerVC->removeFromParent();
    }
    if (host) {
        host->addChild(m_containerVC);
        m_containerVC->didMove(host.get());
    }
}

void JXSegmentedListContainerView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachViews();
    attachToHost();
}

void JXSegmentedListContainerView::didMoveToWindow()
{
    UIView::didMoveToWindow();
    attachToHost();
}

bool JXSegmentedListContainerView::isShowing() const
{
    if (m_containerVC->parent())
        return m_containerVC->isAppearing();
    // Without a controller above it, the container shows its page while it is in a window.
    return window() != nullptr;
}

// ---- Pages ----

int JXSegmentedListContainerView::numberOfLists()
{
    auto source = m_dataSource.lock();
    return source ? std::max(0, source->numberOfLists(*this)) : 0;
}

CGRect JXSegmentedListContainerView::pageFrame(int index) const
{
    CGSize size = bounds().size;
    return { { size.width * index, 0 }, size };
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> JXSegmentedListContainerView::list(int index) const
{
    auto it = m_lists.find(index);
    return it == m_lists.end() ? nullptr : it->second;
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> JXSegmentedListContainerView::ensureList(int index)
{
    if (!isValidIndex(index))
        return nullptr;
    if (auto existing = list(index))
        return existing;
    auto source = m_dataSource.lock();
    if (!source)
        return nullptr;
    auto made = source->initListAt(*this, index);
    if (!made)
        return nullptr;
    installList(index, made);
    return made;
}

void JXSegmentedListContainerView::installList(
    int index, const std::shared_ptr<JXSegmentedListContainerViewListDelegate>& list)
{
    attachViews();
    m_lists[index] = list;
    auto controller = std::dynamic_pointer_cast<UIViewController>(list);
    bool adopted = false;
    if (controller && controller->parent() != m_containerVC) {
        m_containerVC->addChild(controller);
        adopted = controller->parent() == m_containerVC;
    }
    if (auto view = list->listView()) {
        view->setFrame(pageFrame(index));
        if (view->superview() != m_scrollView)
            m_scrollView->addSubview(view);
    }
    if (adopted)
        controller->didMove(m_containerVC.get());
}

void JXSegmentedListContainerView::retireList(
    const std::shared_ptr<JXSegmentedListContainerViewListDelegate>& list)
{
    auto controller = std::dynamic_pointer_cast<UIViewController>(list);
    std::shared_ptr<UIView> view = controller ? controller->viewIfLoaded() : list->listView();
    if (view && view->superview() == m_scrollView)
        view->removeFromSuperview();
    if (controller && controller->parent() == m_containerVC) {
        controller->willMove(nullptr);
        controller->removeFromParent();
    }
}

void JXSegmentedListContainerView::listWillAppear(int index)
{
    auto page = ensureList(index);
    if (!page)
        return;
    page->listWillAppear();
    if (auto controller = std::dynamic_pointer_cast<UIViewController>(page))
        controller->beginAppearanceTransition(true, false);
}

void JXSegmentedListContainerView::listDidAppear(int index)
{
    auto page = list(index);
    if (!page)
        return;
    page->listDidAppear();
    if (auto controller = std::dynamic_pointer_cast<UIViewController>(page))
        controller->endAppearanceTransition();
}

void JXSegmentedListContainerView::listWillDisappear(int index)
{
    auto page = list(index);
    if (!page)
        return;
    page->listWillDisappear();
    if (auto controller = std::dynamic_pointer_cast<UIViewController>(page))
        controller->beginAppearanceTransition(false, false);
}

void JXSegmentedListContainerView::listDidDisappear(int index)
{
    auto page = list(index);
    if (!page)
        return;
    page->listDidDisappear();
    if (auto controller = std::dynamic_pointer_cast<UIViewController>(page))
        controller->endAppearanceTransition();
}

void JXSegmentedListContainerView::switchPage(int from, int to)
{
    m_currentIndex = to;
    if (!isShowing() || from == to) {
        ensureList(to);
        return;
    }
    listWillDisappear(from);
    listWillAppear(to);
    listDidDisappear(from);
    listDidAppear(to);
}

void JXSegmentedListContainerView::scrollToCurrentPage()
{
    CGFloat x = bounds().size.width * std::max(0, m_currentIndex);
    m_scrollView->setContentOffset({ x, 0 });
}

// ---- Operations ----

void JXSegmentedListContainerView::setDefaultSelectedIndex(int index)
{
    m_defaultSelectedIndex = index;
    m_currentIndex = index;
}

void JXSegmentedListContainerView::reloadData()
{
    attachViews();
    auto keep = weak_from_this().lock();
    bool showing = isShowing();
    auto oldLists = std::move(m_lists);
    m_lists.clear();
    // The page on show before the reload, which the reload may take away.
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> oldCurrent;
    if (auto it = oldLists.find(m_currentIndex); it != oldLists.end())
        oldCurrent = it->second;
    int count = numberOfLists();
    if (m_currentIndex < 0 || m_currentIndex >= count) {
        m_defaultSelectedIndex = 0;
        m_currentIndex = 0;
    }

    m_scrollView->setContentSize({ bounds().size.width * count, bounds().size.height });
    auto current = ensureList(m_currentIndex);

    // Pages that are not back: the one on show leaves the screen first.
    for (auto& entry : oldLists) {
        const auto& page = entry.second;
        if (page == current)
            continue;
        if (showing && page == oldCurrent) {
            page->listWillDisappear();
            auto controller = std::dynamic_pointer_cast<UIViewController>(page);
            if (controller)
                controller->beginAppearanceTransition(false, false);
            page->listDidDisappear();
            if (controller)
                controller->endAppearanceTransition();
        }
        bool stillUsed = std::any_of(
            m_lists.begin(), m_lists.end(), [&](const auto& kept) { return kept.second == page; });
        if (!stillUsed)
            retireList(page);
    }
    scrollToCurrentPage();
    if (showing && current && current != oldCurrent) {
        listWillAppear(m_currentIndex);
        listDidAppear(m_currentIndex);
    }
    setNeedsLayout();
}

void JXSegmentedListContainerView::didClickSelectedItem(int index)
{
    if (!isValidIndex(index))
        return;
    switchPage(m_currentIndex, index);
    scrollToCurrentPage();
}

void JXSegmentedListContainerView::layoutSubviews()
{
    UIView::layoutSubviews();
    attachViews();
    CGRect area { {}, bounds().size };
    m_containerVC->view()->setFrame(area);
    m_scrollView->setFrame(area);
    m_scrollView->setContentSize({ area.size.width * numberOfLists(), area.size.height });
    for (auto& [index, page] : m_lists) {
        auto controller = std::dynamic_pointer_cast<UIViewController>(page);
        auto view = controller ? controller->viewIfLoaded() : page->listView();
        if (view)
            view->setFrame(pageFrame(index));
    }
    if (!m_scrollView->isDragging() && !m_scrollView->isDecelerating())
        scrollToCurrentPage();
}

// ---- Swipes ----

void JXSegmentedListContainerView::swipeMoved()
{
    if (!m_scrollView->isDragging() && !m_scrollView->isDecelerating())
        return;
    CGFloat width = bounds().size.width;
    if (width <= 0)
        return;
    // The neighbour coming into view needs its page now.
    CGFloat position = m_scrollView->contentOffset().x / width;
    ensureList(static_cast<int>(std::floor(position)));
    ensureList(static_cast<int>(std::ceil(position)));
}

void JXSegmentedListContainerView::swipeSettled()
{
    CGFloat width = bounds().size.width;
    int count = numberOfLists();
    if (width <= 0 || count == 0)
        return;
    int index
        = std::clamp(static_cast<int>(std::lround(m_scrollView->contentOffset().x / width)), 0, count - 1);
    if (index == m_currentIndex)
        return;
    switchPage(m_currentIndex, index);
    if (m_pageSettled)
        m_pageSettled(index);
}
