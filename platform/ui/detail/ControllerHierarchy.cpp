#include "platform/ui/detail/ControllerHierarchy.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>
#include <iterator>

namespace detail {

namespace {

std::vector<std::weak_ptr<UIWindow>>& windowRegistry()
{
    static std::vector<std::weak_ptr<UIWindow>> windows;
    return windows;
}

TransitionTracker& globalTracker()
{
    static TransitionTracker tracker;
    return tracker;
}

// Controllers waiting for their "did" call, in the order of their "will" calls.
std::vector<std::weak_ptr<UIViewController>>& pendingAppearance()
{
    static std::vector<std::weak_ptr<UIViewController>> pending;
    return pending;
}

bool contains(const std::vector<std::shared_ptr<UIViewController>>& list, const UIViewController* controller)
{
    return std::any_of(list.begin(), list.end(), [&](const auto& c) { return c.get() == controller; });
}

}

// ---- TransitionTracker ----

// The work that ends left waiting, by the number of their end.
struct TransitionTracker::Open {
    std::vector<std::pair<std::uint64_t, Work>> kept;
};

std::shared_ptr<void> TransitionTracker::begin()
{
    auto token = std::make_shared<Open>();
    m_open.push_back(token);
    return token;
}

bool TransitionTracker::end(const std::shared_ptr<void>& token)
{
    std::vector<Work> waiting;
    return end(token, waiting);
}

bool TransitionTracker::end(const std::shared_ptr<void>& token, std::vector<Work>& waiting)
{
    std::vector<std::pair<std::uint64_t, Work>> kept;
    std::shared_ptr<Open> ended;
    std::erase_if(m_open, [&](const auto& weak) {
        auto open = weak.lock();
        if (open && open == token)
            ended = open;
        return !open || open == token;
    });
    if (ended)
        kept = std::move(ended->kept);
    const std::uint64_t number = ++m_endCount;
    for (auto& work : waiting)
        kept.emplace_back(number, std::move(work));
    waiting.clear();
    if (!m_open.empty()) {
        auto& keeper = m_open.back().lock()->kept;
        std::move(kept.begin(), kept.end(), std::back_inserter(keeper));
        return false;
    }
    std::stable_sort(
        kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [n, work] : kept)
        waiting.push_back(std::move(work));
    return true;
}

bool TransitionTracker::isIdle()
{
    std::erase_if(m_open, [](const auto& weak) { return weak.expired(); });
    return m_open.empty();
}

// ---- ViewControllerView ----

ViewControllerView::ViewControllerView(const CGRect& frame)
    : UIView(frame)
{ }

void ViewControllerView::layoutSubviews()
{
    auto controller = std::dynamic_pointer_cast<UIViewController>(owningController());
    if (!controller) {
        UIView::layoutSubviews();
        return;
    }
    controller->viewWillLayoutSubviews();
    ControllerHierarchy::layoutChildren(*controller);
    UIView::layoutSubviews();
    controller->viewDidLayoutSubviews();
}

std::string ViewControllerView::dumpAttributes() const
{
    auto controller = std::dynamic_pointer_cast<UIViewController>(owningController());
    return controller ? "controller=" + controller->className() : std::string {};
}

// ---- Hierarchy ----

void ControllerHierarchy::registerWindow(UIWindow& window)
{
    auto& windows = windowRegistry();
    std::erase_if(windows, [](const auto& weak) { return weak.expired(); });
    auto self = window.window();
    if (!self)
        return;
    bool listed
        = std::any_of(windows.begin(), windows.end(), [&](const auto& w) { return w.lock() == self; });
    if (!listed)
        windows.push_back(self);
}

std::shared_ptr<UIViewController> ControllerHierarchy::topLevel(const UIViewController& controller)
{
    auto current = std::const_pointer_cast<UIViewController>(
        std::static_pointer_cast<const UIViewController>(controller.shared_from_this()));
    while (auto parent = current->parent())
        current = parent;
    return current;
}

std::shared_ptr<UIWindow> ControllerHierarchy::windowOf(const UIViewController& controller)
{
    auto base = topLevel(controller);
    while (auto presenting = base->m_presenting.lock())
        base = topLevel(*presenting);
    for (const auto& weak : windowRegistry()) {
        auto window = weak.lock();
        if (window && window->rootViewController() == base)
            return window;
    }
    return nullptr;
}

std::vector<std::shared_ptr<UIViewController>> ControllerHierarchy::presentationChain(
    const std::shared_ptr<UIViewController>& base)
{
    std::vector<std::shared_ptr<UIViewController>> chain;
    for (auto current = base; current; current = current->m_presented) {
        // A controller presents at most one other; a cycle cannot form (present refuses it).
        chain.push_back(current);
    }
    return chain;
}

std::size_t ControllerHierarchy::firstShownIndex(const std::vector<std::shared_ptr<UIViewController>>& chain)
{
    std::size_t first = 0;
    for (std::size_t i = 1; i < chain.size(); ++i) {
        if (chain[i]->modalPresentationStyle() == UIModalPresentationStyle::fullScreen)
            first = i;
    }
    return first;
}

namespace {

void addShownTree(
    const std::shared_ptr<UIViewController>& controller, std::vector<std::shared_ptr<UIViewController>>& out)
{
    out.push_back(controller);
    for (const auto& child : controller->children()) {
        if (ControllerHierarchy::isChildShown(*controller, *child))
            addShownTree(child, out);
    }
}

}

std::vector<std::shared_ptr<UIViewController>> ControllerHierarchy::visibleControllers(const UIWindow& window)
{
    std::vector<std::shared_ptr<UIViewController>> out;
    auto root = window.rootViewController();
    if (!root)
        return out;
    auto chain = presentationChain(root);
    for (std::size_t i = firstShownIndex(chain); i < chain.size(); ++i)
        addShownTree(chain[i], out);
    return out;
}

bool ControllerHierarchy::isChildShown(const UIViewController& parent, const UIViewController& child)
{
    return parent.isChildShown(child);
}

void ControllerHierarchy::layoutChildren(UIViewController& controller)
{
    controller.layoutChildren();
}

// ---- Appearance ----

bool ControllerHierarchy::sendWill(const std::vector<std::shared_ptr<UIViewController>>& leaving,
    const std::vector<std::shared_ptr<UIViewController>>& entering, bool animated, bool pending)
{
    using Appearance = UIViewController::Appearance;
    // States first, so that work done by the calls (a nested transition) sees the new picture.
    std::vector<std::shared_ptr<UIViewController>> leaves;
    for (const auto& c : leaving) {
        if (c->m_appearance == Appearance::appearing || c->m_appearance == Appearance::appeared) {
            c->m_appearance = Appearance::disappearing;
            c->m_appearanceAnimated = animated;
            leaves.push_back(c);
        }
    }
    std::vector<std::shared_ptr<UIViewController>> enters;
    for (const auto& c : entering) {
        if (c->m_appearance == Appearance::disappeared || c->m_appearance == Appearance::disappearing) {
            c->m_appearance = Appearance::appearing;
            c->m_appearanceAnimated = animated;
            enters.push_back(c);
        }
    }
    if (pending) {
        for (const auto* list : { &leaves, &enters }) {
            for (const auto& c : *list)
                pendingAppearance().push_back(c);
        }
    }
    for (const auto& c : leaves) {
        if (c->m_appearance == Appearance::disappearing)
            c->viewWillDisappear(animated);
    }
    for (const auto& c : enters) {
        if (c->m_appearance == Appearance::appearing)
            c->viewWillAppear(animated);
    }
    return !leaves.empty() || !enters.empty();
}

void ControllerHierarchy::refreshAppearance(UIViewController& controller)
{
    std::vector<std::shared_ptr<UIViewController>> tree;
    addShownTree(controller.sharedFromThis(), tree);
    std::vector<std::shared_ptr<UIViewController>> visible;
    if (auto window = windowOf(controller))
        visible = visibleControllers(*window);
    std::vector<std::shared_ptr<UIViewController>> leaving;
    std::vector<std::shared_ptr<UIViewController>> entering;
    for (const auto& c : tree)
        (contains(visible, c.get()) ? entering : leaving).push_back(c);
    if (sendWill(leaving, entering, false, true))
        scheduleEnd(false, {}, {});
}

ControllerHierarchy::AppearanceUpdate::AppearanceUpdate(std::shared_ptr<UIWindow> window, bool animated)
    : m_window(window)
    , m_animated(animated)
{
    if (!window)
        return;
    for (auto& c : visibleControllers(*window))
        m_before.push_back(c);
}

ControllerHierarchy::AppearanceUpdate::AppearanceUpdate(const UIViewController& anyInWindow, bool animated)
    : AppearanceUpdate(windowOf(anyInWindow), animated)
{ }

void ControllerHierarchy::AppearanceUpdate::commit()
{
    std::vector<std::shared_ptr<UIViewController>> after;
    if (auto window = m_window.lock())
        after = visibleControllers(*window);
    std::vector<std::shared_ptr<UIViewController>> leaving;
    for (const auto& weak : m_before) {
        auto c = weak.lock();
        if (c && !contains(after, c.get()))
            leaving.push_back(c);
    }
    sendWill(leaving, after, m_animated, true);
}

void ControllerHierarchy::beginManualAppearance(UIViewController& controller, bool appearing, bool animated)
{
    std::vector<std::shared_ptr<UIViewController>> tree;
    addShownTree(controller.sharedFromThis(), tree);
    if (appearing)
        sendWill({}, tree, animated, false);
    else
        sendWill(tree, {}, animated, false);
}

void ControllerHierarchy::endManualAppearance(UIViewController& controller)
{
    using Appearance = UIViewController::Appearance;
    std::vector<std::shared_ptr<UIViewController>> tree;
    addShownTree(controller.sharedFromThis(), tree);
    for (const auto& c : tree) {
        if (c->m_appearance == Appearance::appearing) {
            c->m_appearance = Appearance::appeared;
            c->viewDidAppear(c->m_appearanceAnimated);
        } else if (c->m_appearance == Appearance::disappearing) {
            c->m_appearance = Appearance::disappeared;
            c->viewDidDisappear(c->m_appearanceAnimated);
        }
    }
}

// ---- Ends of transitions ----

void ControllerHierarchy::scheduleEnd(
    bool animated, std::function<void()> cleanup, std::function<void()> completion)
{
    auto token = globalTracker().begin();
    auto work = [token, cleanup = std::move(cleanup), completion = std::move(completion)] {
        if (cleanup)
            cleanup();
        // Completions of transitions that end while others are still open run after the "did"
        // calls, once the last one ends; the open ones keep them meanwhile.
        std::vector<std::function<void()>> completions;
        if (completion)
            completions.push_back(completion);
        if (!globalTracker().end(token, completions))
            return;
        settle();
        for (const auto& c : completions)
            c();
    };
    if (animated)
        DispatchQueue::main().asyncAfter(
            DispatchTime::now() + UIViewController::transitionDuration, std::move(work));
    else
        DispatchQueue::main().async(std::move(work));
}

void ControllerHierarchy::syncWindowViews(UIWindow& window)
{
    auto root = window.rootViewController();
    std::vector<std::shared_ptr<UIViewController>> shown;
    if (root) {
        auto chain = presentationChain(root);
        shown.assign(chain.begin() + static_cast<std::ptrdiff_t>(firstShownIndex(chain)), chain.end());
    }
    // Views of controllers that left the chain (dismissed, covered, replaced) go.
    auto subviews = window.subviews();
    for (const auto& sub : subviews) {
        auto owner = std::dynamic_pointer_cast<UIViewController>(sub->owningController());
        if (owner && !owner->parent() && owner->viewIfLoaded() == sub && !contains(shown, owner.get()))
            sub->removeFromSuperview();
    }
    const UIView* below = nullptr;
    for (const auto& c : shown) {
        const auto& view = c->view();
        if (view->superview().get() != &window) {
            if (below)
                window.insertSubviewAbove(view, below);
            else
                window.insertSubview(view, 0);
        }
        if (view->frame() != window.bounds())
            view->setFrame(window.bounds());
        below = view.get();
    }
}

void ControllerHierarchy::windowDidLayout(UIWindow& window)
{
    for (const auto& sub : std::vector(window.subviews())) {
        auto owner = std::dynamic_pointer_cast<UIViewController>(sub->owningController());
        if (owner && !owner->parent() && owner->viewIfLoaded() == sub && sub->frame() != window.bounds())
            sub->setFrame(window.bounds());
    }
}

void ControllerHierarchy::settle()
{
    using Appearance = UIViewController::Appearance;
    auto& windows = windowRegistry();
    std::erase_if(windows, [](const auto& weak) { return weak.expired(); });
    for (const auto& weak : std::vector(windows)) {
        if (auto window = weak.lock())
            syncWindowViews(*window);
    }
    auto pending = std::move(pendingAppearance());
    pendingAppearance().clear();
    std::vector<const UIViewController*> done;
    for (const auto& weak : pending) {
        auto c = weak.lock();
        if (!c || std::find(done.begin(), done.end(), c.get()) != done.end())
            continue;
        done.push_back(c.get());
        if (c->m_appearance == Appearance::appearing) {
            c->m_appearance = Appearance::appeared;
            c->viewDidAppear(c->m_appearanceAnimated);
        } else if (c->m_appearance == Appearance::disappearing) {
            c->m_appearance = Appearance::disappeared;
            c->viewDidDisappear(c->m_appearanceAnimated);
        }
    }
}

// ---- Window root ----

void ControllerHierarchy::replaceRoot(
    UIWindow& window, std::shared_ptr<UIViewController>& slot, std::shared_ptr<UIViewController> root)
{
    if (slot == root)
        return;
    registerWindow(window);
    // A controller shown elsewhere cannot become a root as well.
    if (root && (root->parent() || root->m_presenting.lock() || windowOf(*root))) {
        return;
    }
    AppearanceUpdate update(window.window(), false);

    // The old root goes with everything it presents: their views leave the window at once.
    std::vector<std::shared_ptr<UIViewController>> oldChain;
    if (slot)
        oldChain = presentationChain(slot);
    for (const auto& c : oldChain) {
        if (c->m_view && c->m_view->superview().get() == &window)
            c->m_view->removeFromSuperview();
    }
    for (const auto& c : oldChain) {
        c->m_presenting.reset();
        c->m_presented.reset();
    }

    slot = std::move(root);
    if (slot) {
        const auto& view = slot->view();
        view->setFrame(window.bounds());
        window.insertSubview(view, 0);
    }
    update.commit();
    if (slot)
        slot->view()->layoutIfNeeded();
    // The old controllers stay alive until their "did" calls have been sent.
    scheduleEnd(false, {}, [oldChain = std::move(oldChain)] { (void)oldChain; });
}

}
