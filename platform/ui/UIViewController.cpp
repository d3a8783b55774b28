#include "platform/ui/UIViewController.h"

#include "platform/ui/UINavigationController.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UITabBarItem.h"
#include "platform/ui/detail/ControllerHierarchy.h"

using detail::ControllerHierarchy;

UIViewController::UIViewController()
    : m_navigationItem(std::make_shared<UINavigationItem>())
{ }

UIViewController::~UIViewController() = default;

std::shared_ptr<UIViewController> UIViewController::sharedFromThis()
{
    return std::static_pointer_cast<UIViewController>(shared_from_this());
}

std::weak_ptr<UIViewController> UIViewController::weakFromThis()
{
    return std::static_pointer_cast<UIViewController>(weak_from_this().lock());
}

// ---- View ----

const std::shared_ptr<UIView>& UIViewController::view()
{
    loadViewIfNeeded();
    return m_view;
}

void UIViewController::loadViewIfNeeded()
{
    // Asking for the view while it loads (from loadView) gets nothing rather than a loop.
    if (m_view || m_loadingView)
        return;
    m_loadingView = true;
    loadView();
    if (!m_view)
        UIViewController::loadView();
    m_loadingView = false;
    viewDidLoad();
    containerViewDidLoad();
}

void UIViewController::setView(std::shared_ptr<UIView> view)
{
    if (m_view == view)
        return;
    if (m_view)
        m_view->setOwningController({});
    m_view = std::move(view);
    if (m_view)
        m_view->setOwningController(weak_from_this());
}

void UIViewController::loadView()
{
    setView(std::make_shared<detail::ViewControllerView>(UIScreen::main().bounds()));
}

bool UIViewController::isAppearing() const
{
    return m_appearance == Appearance::appearing || m_appearance == Appearance::appeared;
}

// ---- Title and bars ----

void UIViewController::setTitle(std::string title)
{
    m_title = std::move(title);
    m_navigationItem->setTitle(m_title);
}

const std::shared_ptr<UITabBarItem>& UIViewController::tabBarItem() const
{
    if (!m_tabBarItem)
        m_tabBarItem = std::make_shared<UITabBarItem>(m_title, std::nullopt, 0);
    return m_tabBarItem;
}

UINavigationItem& UIViewController::navigationItem()
{
    return *m_navigationItem;
}

// ---- Child controllers ----

void UIViewController::addChild(std::shared_ptr<UIViewController> child)
{
    if (!child || child.get() == this || child->parent().get() == this)
        return;
    // An ancestor cannot become a child, nor can a controller that is presented.
    for (auto p = parent(); p; p = p->parent()) {
        if (p == child)
            return;
    }
    if (child->m_presenting.lock())
        return;
    if (auto old = child->parent())
        std::erase(old->m_children, child);
    child->willMove(this);
    child->m_parent = weakFromThis();
    m_children.push_back(std::move(child));
}

void UIViewController::removeFromParent()
{
    auto p = parent();
    if (!p)
        return;
    auto keep = sharedFromThis();
    std::erase(p->m_children, keep);
    m_parent.reset();
    didMove(nullptr);
}

void UIViewController::didMove(UIViewController*)
{
    ControllerHierarchy::refreshAppearance(*this);
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const
{
    for (auto p = parent(); p; p = p->parent()) {
        if (auto nav = std::dynamic_pointer_cast<UINavigationController>(p))
            return nav;
    }
    return nullptr;
}

std::shared_ptr<UITabBarController> UIViewController::tabBarController() const
{
    for (auto p = parent(); p; p = p->parent()) {
        if (auto tabs = std::dynamic_pointer_cast<UITabBarController>(p))
            return tabs;
    }
    return nullptr;
}

bool UIViewController::isChildShown(const UIViewController& child) const
{
    if (!shouldAutomaticallyForwardAppearanceMethods() || !m_view || !child.m_view)
        return false;
    return child.m_view->isDescendant(m_view.get());
}

void UIViewController::beginAppearanceTransition(bool isAppearing, bool animated)
{
    ControllerHierarchy::beginManualAppearance(*this, isAppearing, animated);
}

void UIViewController::endAppearanceTransition()
{
    ControllerHierarchy::endManualAppearance(*this);
}

// ---- Responder chain ----

std::shared_ptr<UIResponder> UIViewController::nextResponder() const
{
    if (m_view) {
        if (auto super = m_view->superview())
            return super;
    }
    if (auto presenting = m_presenting.lock())
        return presenting;
    return parent();
}
