#include "platform/ui/layout/ConstraintLayoutEngine.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/layout/detail/SimplexSolver.h"
#include "platform/ui/layout/detail/ViewLayoutState.h"
#include "platform/ui/lists/UIScrollView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

using namespace detail::autolayout;

namespace {

std::uint64_t& sequenceCounter()
{
    static std::uint64_t counter = 0;
    return counter;
}

CGFloat pixelScale()
{
    CGFloat scale = UIScreen::main().scale();
    return scale > 0 ? scale : 1;
}

CGFloat roundToPixel(CGFloat value, CGFloat scale)
{
    return std::round(value * scale) / scale;
}

LinearExpression constantExpression(double value)
{
    LinearExpression e;
    e.constant = value;
    return e;
}

LinearExpression variableExpression(std::uint32_t variable)
{
    LinearExpression e;
    e.add(variable, 1);
    return e;
}

LinearExpression combine(const LinearExpression& a, const LinearExpression& b, double factor)
{
    LinearExpression e = a;
    e.add(b, factor);
    return e;
}

struct Geometry {
    LinearExpression left;
    LinearExpression top;
    LinearExpression width;
    LinearExpression height;
};

bool isVerticalPosition(NSLayoutAttribute a)
{
    return a == NSLayoutAttribute::top || a == NSLayoutAttribute::bottom || a == NSLayoutAttribute::centerY;
}

bool isDimension(NSLayoutAttribute a)
{
    return a == NSLayoutAttribute::width || a == NSLayoutAttribute::height;
}

bool isHorizontalPosition(NSLayoutAttribute a)
{
    return !isVerticalPosition(a) && !isDimension(a) && a != NSLayoutAttribute::notAnAttribute;
}

bool isValidPairing(NSLayoutAttribute first, bool hasSecond, NSLayoutAttribute second)
{
    if (first == NSLayoutAttribute::notAnAttribute)
        return false;
    if (!hasSecond)
        return isDimension(first);
    if (isDimension(first))
        return isDimension(second);
    return (isHorizontalPosition(first) && isHorizontalPosition(second))
        || (isVerticalPosition(first) && isVerticalPosition(second));
}

// Layout runs left to right, so leading is left and trailing is right.
LinearExpression attributeExpression(const Geometry& g, NSLayoutAttribute a)
{
    switch (a) {
    case NSLayoutAttribute::left:
    case NSLayoutAttribute::leading:
        return g.left;
    case NSLayoutAttribute::right:
    case NSLayoutAttribute::trailing:
        return combine(g.left, g.width, 1);
    case NSLayoutAttribute::centerX:
        return combine(g.left, g.width, 0.5);
    case NSLayoutAttribute::top:
        return g.top;
    case NSLayoutAttribute::bottom:
        return combine(g.top, g.height, 1);
    case NSLayoutAttribute::centerY:
        return combine(g.top, g.height, 0.5);
    case NSLayoutAttribute::width:
        return g.width;
    case NSLayoutAttribute::height:
        return g.height;
    case NSLayoutAttribute::notAnAttribute:
        break;
    }
    return {};
}

LinearRelation relationOf(NSLayoutRelation relation)
{
    switch (relation) {
    case NSLayoutRelation::lessThanOrEqual:
        return LinearRelation::lessOrEqual;
    case NSLayoutRelation::greaterThanOrEqual:
        return LinearRelation::greaterOrEqual;
    case NSLayoutRelation::equal:
        break;
    }
    return LinearRelation::equal;
}

bool sameRect(const CGRect& a, const CGRect& b)
{
    constexpr CGFloat tolerance = 1e-6;
    return std::abs(a.origin.x - b.origin.x) < tolerance && std::abs(a.origin.y - b.origin.y) < tolerance
        && std::abs(a.size.width - b.size.width) < tolerance
        && std::abs(a.size.height - b.size.height) < tolerance;
}

// One linear relation for the solver, with where it came from.
struct Equation {
    LinearExpression expression;
    LinearRelation relation = LinearRelation::equal;
    UILayoutPriority priority = UILayoutPriorityRequired;
    // The constraint behind it; nullptr for content sizes, fitting targets and the preference
    // to keep the current frame.
    NSLayoutConstraint* source = nullptr;
    std::uint64_t sequence = 0;
};

// Below every priority a constraint can have: where nothing else decides, a view keeps its
// current frame.
constexpr UILayoutPriority keepFramePriority = 0;

enum class SolveMode { layout, fitting };

// The constraints of one view's subtree as one linear system.
class SubtreeSolve {
public:
    SubtreeSolve(UIView& root, SolveMode mode)
        : m_root(root)
        , m_mode(mode)
        , m_scale(pixelScale())
    { }

    void layout();
    CGSize fit(CGSize target, UILayoutPriority horizontal, UILayoutPriority vertical);

private:
    struct Node {
        std::shared_ptr<UIView> keep;
        UIView* view = nullptr;
        int parent = -1;
        bool variable = false;
        Geometry geometry;
        std::uint32_t firstVariable = 0;
        CGRect frame;
        // Multi-line labels wrap at the width the last solve gave them.
        bool wraps = false;
        CGFloat wrapWidth = std::numeric_limits<CGFloat>::infinity();
        CGFloat left = 0;
        CGFloat top = 0;
    };

    void collectNodes();
    void collectConstraints();
    void prepareContentSize();
    void applyContentSize(const std::vector<double>& values);
    std::optional<Geometry> geometryOf(const LayoutItem& item);
    UIEdgeInsets guideInsets(UIView& owner);
    CGSize contentSize(Node& node);
    std::vector<Equation> buildEquations();
    void addConstraintEquation(std::vector<Equation>& out, NSLayoutConstraint& constraint);
    void reportIfViolated(NSLayoutConstraint& constraint, double difference);
    void addContentEquations(std::vector<Equation>& out, Node& node);
    std::vector<double> solve(const std::vector<Equation>& equations);
    bool updateWrapWidths(const std::vector<double>& values);
    void applyFrames(const std::vector<double>& values);
    bool guidesMoved();

    UIView& m_root;
    // A scroll view whose content is placed by constraints to its edges: those edges are the
    // content's, and the solve gives the content size.
    UIScrollView* m_scrollRoot = nullptr;
    bool m_sizesContent = false;
    SolveMode m_mode;
    CGFloat m_scale;
    std::vector<Node> m_nodes;
    std::unordered_map<const UIView*, int> m_index;
    std::uint32_t m_variableCount = 0;
    std::vector<std::shared_ptr<NSLayoutConstraint>> m_constraints;
    std::vector<std::pair<UIView*, UIEdgeInsets>> m_guides;
    std::vector<Equation> m_fittingEquations;
};

void SubtreeSolve::collectNodes()
{
    auto addNode = [&](UIView& view, int parent, std::shared_ptr<UIView> keep) {
        Node node;
        node.keep = std::move(keep);
        node.view = &view;
        node.parent = parent;
        node.frame = view.frame();
        bool isRoot = parent < 0;
        node.variable = isRoot ? m_mode == SolveMode::fitting : !translatesAutoresizingMask(view);
        if (isRoot) {
            node.geometry.left = constantExpression(0);
            node.geometry.top = constantExpression(0);
            if (node.variable) {
                node.firstVariable = m_variableCount;
                node.geometry.width = variableExpression(m_variableCount + 2);
                node.geometry.height = variableExpression(m_variableCount + 3);
                m_variableCount += 4;
            } else {
                node.geometry.width = constantExpression(view.bounds().size.width);
                node.geometry.height = constantExpression(view.bounds().size.height);
            }
        } else if (node.variable) {
            node.firstVariable = m_variableCount;
            node.geometry.left = variableExpression(m_variableCount);
            node.geometry.top = variableExpression(m_variableCount + 1);
            node.geometry.width = variableExpression(m_variableCount + 2);
            node.geometry.height = variableExpression(m_variableCount + 3);
            m_variableCount += 4;
        } else {
            const Geometry& up = m_nodes[static_cast<std::size_t>(parent)].geometry;
            node.geometry.left = combine(up.left, constantExpression(node.frame.origin.x), 1);
            node.geometry.top = combine(up.top, constantExpression(node.frame.origin.y), 1);
            node.geometry.width = constantExpression(view.bounds().size.width);
            node.geometry.height = constantExpression(view.bounds().size.height);
        }
        if (node.variable) {
            auto* label = dynamic_cast<UILabel*>(&view);
            node.wraps = label && label->numberOfLines() != 1 && label->preferredMaxLayoutWidth() <= 0;
            if (node.wraps && node.frame.size.width > 0)
                node.wrapWidth = node.frame.size.width;
        }
        m_index.emplace(&view, static_cast<int>(m_nodes.size()));
        m_nodes.push_back(std::move(node));
    };

    addNode(m_root, -1, nullptr);
    // Pre-order, parents before children: the geometry of a fixed view builds on its parent's.
    std::vector<std::pair<std::shared_ptr<UIView>, int>> stack;
    auto pushChildren = [&](const UIView& view, int index) {
        const auto& subviews = view.subviews();
        for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
            stack.emplace_back(*it, index);
    };
    pushChildren(m_root, 0);
    while (!stack.empty()) {
        auto [view, parent] = std::move(stack.back());
        stack.pop_back();
        int index = static_cast<int>(m_nodes.size());
        UIView& ref = *view;
        addNode(ref, parent, std::move(view));
        // A scroll view's content is laid out against its content area, by its own solve.
        if (!dynamic_cast<UIScrollView*>(&ref))
            pushChildren(ref, index);
    }
}

// The active constraints that bear on the subtree: those installed in it, and, when laying out,
// those installed higher up that reach into it. Constraints whose views are gone or have left
// the installing view's subtree are dropped for good.
void SubtreeSolve::collectConstraints()
{
    for (const auto& node : m_nodes) {
        auto* state = layoutState(*node.view);
        if (!state || state->installed.empty())
            continue;
        std::vector<std::shared_ptr<NSLayoutConstraint>> stale;
        for (const auto& c : state->installed) {
            auto first = c->firstItem().view();
            auto second = c->secondItem().view();
            bool firstOk = first && first->isDescendant(node.view);
            bool secondOk = c->secondItem().isEmpty() || (second && second->isDescendant(node.view));
            if (firstOk && secondOk)
                m_constraints.push_back(c);
            else
                stale.push_back(c);
        }
        for (const auto& c : stale)
            ConstraintLayoutEngine::uninstallConstraint(*c);
    }
    if (m_mode == SolveMode::fitting)
        return;
    auto reachesIn = [&](const LayoutItem& item) {
        auto view = item.view();
        return view && view.get() != &m_root && m_index.count(view.get());
    };
    for (auto up = m_root.superview(); up; up = up->superview()) {
        auto* state = layoutState(*up);
        if (!state)
            continue;
        for (const auto& c : state->installed) {
            if (reachesIn(c->firstItem()) || reachesIn(c->secondItem()))
                m_constraints.push_back(c);
        }
    }
}

UIEdgeInsets SubtreeSolve::guideInsets(UIView& owner)
{
    for (const auto& [view, insets] : m_guides) {
        if (view == &owner)
            return insets;
    }
    UIEdgeInsets insets = owner.safeAreaInsets();
    m_guides.emplace_back(&owner, insets);
    return insets;
}

std::optional<Geometry> SubtreeSolve::geometryOf(const LayoutItem& item)
{
    auto view = item.view();
    if (!view)
        return std::nullopt;
    Geometry g;
    auto it = m_index.find(view.get());
    if (it != m_index.end()) {
        g = m_nodes[static_cast<std::size_t>(it->second)].geometry;
    } else {
        CGRect rect = view->convert(view->bounds(), &m_root);
        g.left = constantExpression(rect.origin.x);
        g.top = constantExpression(rect.origin.y);
        g.width = constantExpression(rect.size.width);
        g.height = constantExpression(rect.size.height);
    }
    if (item.isSafeAreaGuide()) {
        UIEdgeInsets insets = guideInsets(*view);
        g.left.constant += insets.left;
        g.top.constant += insets.top;
        g.width.constant -= insets.left + insets.right;
        g.height.constant -= insets.top + insets.bottom;
    }
    return g;
}

// A required constraint between views that all keep their frames cannot move anything; when
// those frames contradict it, it is as broken as one that lost a conflict.
void SubtreeSolve::reportIfViolated(NSLayoutConstraint& c, double difference)
{
    if (c.priority() < UILayoutPriorityRequired)
        return;
    double tolerance = 1 / m_scale + 1e-6;
    bool violated = false;
    switch (c.relation()) {
    case NSLayoutRelation::equal:
        violated = std::abs(difference) > tolerance;
        break;
    case NSLayoutRelation::lessThanOrEqual:
        violated = difference > tolerance;
        break;
    case NSLayoutRelation::greaterThanOrEqual:
        violated = difference < -tolerance;
        break;
    }
    if (violated && ConstraintLayoutEngine::noteBroken(c))
        Log::write("[LayoutConstraints] Unable to satisfy a constraint between views that keep their frames; "
                   "breaking "
            + c.description());
}

void SubtreeSolve::addConstraintEquation(std::vector<Equation>& out, NSLayoutConstraint& c)
{
    bool hasSecond = !c.secondItem().isEmpty();
    if (!isValidPairing(c.firstAttribute(), hasSecond, c.secondAttribute()))
        return;
    auto first = geometryOf(c.firstItem());
    if (!first)
        return;
    LinearExpression lhs = attributeExpression(*first, c.firstAttribute());
    LinearExpression rhs;
    if (hasSecond) {
        auto second = geometryOf(c.secondItem());
        if (!second)
            return;
        rhs = attributeExpression(*second, c.secondAttribute());
        // A multiplied position is measured from the installing view's edge, as on the phone.
        if (!isDimension(c.firstAttribute()) && c.multiplier() != 1) {
            if (auto installer = c.installedOn()) {
                if (auto g = geometryOf(LayoutItem(installer))) {
                    const LinearExpression& origin
                        = isVerticalPosition(c.firstAttribute()) ? g->top : g->left;
                    lhs.add(origin, -1);
                    rhs.add(origin, -1);
                }
            }
        }
    }
    Equation eq;
    eq.expression = std::move(lhs);
    eq.expression.add(rhs, -c.multiplier());
    eq.expression.constant -= c.constant();
    eq.expression.simplify();
    if (!eq.expression.hasVariables()) {
        reportIfViolated(c, eq.expression.constant);
        return;
    }
    eq.relation = relationOf(c.relation());
    eq.priority = c.priority();
    eq.source = &c;
    eq.sequence = ConstraintLayoutEngine::sequenceOf(c);
    out.push_back(std::move(eq));
}

CGSize SubtreeSolve::contentSize(Node& node)
{
    auto& state = ensureLayoutState(*node.view);
    if (node.wraps) {
        if (!state.wrapWidth || *state.wrapWidth != node.wrapWidth) {
            state.wrapSize
                = node.view->sizeThatFits({ node.wrapWidth, std::numeric_limits<CGFloat>::infinity() });
            state.wrapWidth = node.wrapWidth;
        }
        return state.wrapSize;
    }
    if (!state.intrinsicSize)
        state.intrinsicSize = node.view->intrinsicContentSize();
    return *state.intrinsicSize;
}

// The content size as two pairs of preferences: not larger (hugging) and not smaller
// (compression resistance), each at the view's priority for that axis.
void SubtreeSolve::addContentEquations(std::vector<Equation>& out, Node& node)
{
    CGSize size = contentSize(node);
    const auto& state = ensureLayoutState(*node.view);
    auto add = [&](const LinearExpression& dimension, CGFloat value, int axis) {
        if (value < 0 || !std::isfinite(value))
            return;
        Equation hug;
        hug.expression = dimension;
        hug.expression.constant -= value;
        hug.relation = LinearRelation::lessOrEqual;
        hug.priority = state.hugging[axis];
        out.push_back(hug);
        Equation resist = hug;
        resist.relation = LinearRelation::greaterOrEqual;
        resist.priority = state.compression[axis];
        out.push_back(std::move(resist));
    };
    add(node.geometry.width, size.width, 0);
    add(node.geometry.height, size.height, 1);
}

std::vector<Equation> SubtreeSolve::buildEquations()
{
    m_guides.clear();
    std::vector<Equation> required;
    std::vector<Equation> optional;
    std::vector<Equation> all;
    for (const auto& c : m_constraints)
        addConstraintEquation(all, *c);
    for (auto& node : m_nodes) {
        if (node.variable)
            addContentEquations(all, node);
    }
    for (const auto& eq : m_fittingEquations)
        all.push_back(eq);
    for (auto& eq : all)
        (eq.priority >= UILayoutPriorityRequired ? required : optional).push_back(std::move(eq));
    // Content sizes and fitting targets first, then constraints in the order they were activated,
    // so a conflict breaks the newest constraint.
    std::stable_sort(required.begin(), required.end(),
        [](const Equation& a, const Equation& b) { return a.sequence < b.sequence; });

    // Where nothing else decides, views keep their frames.
    for (const auto& node : m_nodes) {
        if (!node.variable || node.parent < 0)
            continue;
        const Geometry& up = m_nodes[static_cast<std::size_t>(node.parent)].geometry;
        auto keep = [&](LinearExpression e, CGFloat value) {
            Equation eq;
            eq.expression = std::move(e);
            eq.expression.constant -= value;
            eq.expression.simplify();
            eq.priority = keepFramePriority;
            optional.push_back(std::move(eq));
        };
        keep(combine(node.geometry.left, up.left, -1), node.frame.origin.x);
        keep(combine(node.geometry.top, up.top, -1), node.frame.origin.y);
        keep(node.geometry.width, node.frame.size.width);
        keep(node.geometry.height, node.frame.size.height);
    }
    if (m_sizesContent) {
        const Node& root = m_nodes.front();
        CGSize current = m_scrollRoot->contentSize();
        for (auto [dimension, value] : { std::pair { &root.geometry.width, current.width },
                 std::pair { &root.geometry.height, current.height } }) {
            Equation eq;
            eq.expression = *dimension;
            eq.expression.constant -= value;
            eq.priority = keepFramePriority;
            optional.push_back(std::move(eq));
        }
    }
    for (auto& eq : optional)
        required.push_back(std::move(eq));
    return required;
}

std::vector<double> SubtreeSolve::solve(const std::vector<Equation>& equations)
{
    // One level per distinct priority below required, strongest first.
    std::vector<UILayoutPriority> levels;
    for (const auto& eq : equations) {
        if (eq.priority < UILayoutPriorityRequired)
            levels.push_back(eq.priority);
    }
    std::sort(levels.begin(), levels.end(), std::greater<>());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    auto levelOf = [&](UILayoutPriority p) {
        if (p >= UILayoutPriorityRequired)
            return SimplexSolver::requiredLevel;
        return static_cast<int>(
            std::lower_bound(levels.begin(), levels.end(), p, std::greater<>()) - levels.begin());
    };

    std::vector<char> broken(equations.size(), 0);
    for (;;) {
        SimplexSolver solver(levels.size());
        for (std::uint32_t i = 0; i < m_variableCount; ++i)
            solver.newVariable();
        bool conflict = false;
        for (std::size_t i = 0; i < equations.size(); ++i) {
            if (broken[i])
                continue;
            const Equation& eq = equations[i];
            if (solver.add(eq.expression, eq.relation, levelOf(eq.priority)))
                continue;
            broken[i] = 1;
            conflict = true;
            if (eq.source && ConstraintLayoutEngine::noteBroken(*eq.source)) {
                Log::write("[LayoutConstraints] Unable to simultaneously satisfy constraints; breaking "
                    + eq.source->description());
            }
            break;
        }
        if (conflict)
            continue;
        if (!solver.optimize())
            Log::write("[LayoutConstraints] The layout could not be fully optimised; using a feasible one");
        std::vector<double> values(m_variableCount);
        for (std::uint32_t i = 0; i < m_variableCount; ++i)
            values[i] = solver.value(i);
        return values;
    }
}

bool SubtreeSolve::updateWrapWidths(const std::vector<double>& values)
{
    bool changed = false;
    for (auto& node : m_nodes) {
        if (!node.wraps)
            continue;
        CGFloat width = std::max<CGFloat>(0, values[node.firstVariable + 2]);
        if (!std::isfinite(node.wrapWidth) || std::abs(width - node.wrapWidth) > 0.5 / m_scale) {
            node.wrapWidth = width;
            changed = true;
        }
    }
    return changed;
}

// Frames snap to pixels by their edges, so views that touch keep touching.
void SubtreeSolve::applyFrames(const std::vector<double>& values)
{
    for (auto& node : m_nodes) {
        if (node.parent < 0)
            continue;
        const Node& up = m_nodes[static_cast<std::size_t>(node.parent)];
        if (!node.variable) {
            node.left = up.left + node.frame.origin.x;
            node.top = up.top + node.frame.origin.y;
            continue;
        }
        double x = values[node.firstVariable];
        double y = values[node.firstVariable + 1];
        double w = values[node.firstVariable + 2];
        double h = values[node.firstVariable + 3];
        CGFloat left = roundToPixel(x, m_scale);
        CGFloat top = roundToPixel(y, m_scale);
        CGFloat right = roundToPixel(x + w, m_scale);
        CGFloat bottom = roundToPixel(y + h, m_scale);
        node.left = left;
        node.top = top;
        // Differences of pixel values, snapped again so that they read as clean numbers.
        CGRect frame { roundToPixel(left - up.left, m_scale), roundToPixel(top - up.top, m_scale),
            std::max<CGFloat>(0, roundToPixel(right - left, m_scale)),
            std::max<CGFloat>(0, roundToPixel(bottom - top, m_scale)) };
        if (sameRect(frame, node.frame))
            continue;
        node.frame = frame;
        UIView& view = *node.view;
        if (view.transform().isIdentity()) {
            view.setFrame(frame);
        } else {
            CGRect bounds = view.bounds();
            view.setBounds({ bounds.origin, frame.size });
            view.setCenter({ frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2 });
        }
    }
}

// Safe areas of views inside the subtree follow their frames; a guide that moved needs another
// pass.
bool SubtreeSolve::guidesMoved()
{
    for (const auto& [view, insets] : m_guides) {
        if (view != &m_root && m_index.count(view) && !(view->safeAreaInsets() == insets))
            return true;
    }
    return false;
}

void SubtreeSolve::prepareContentSize()
{
    m_scrollRoot = dynamic_cast<UIScrollView*>(&m_root);
    if (!m_scrollRoot)
        return;
    m_sizesContent = std::any_of(m_constraints.begin(), m_constraints.end(),
        [&](const auto& c) { return c->firstItem().isView(&m_root) || c->secondItem().isView(&m_root); });
    if (!m_sizesContent)
        return;
    Node& root = m_nodes.front();
    root.firstVariable = m_variableCount;
    root.geometry.width = variableExpression(m_variableCount + 2);
    root.geometry.height = variableExpression(m_variableCount + 3);
    m_variableCount += 4;
}

void SubtreeSolve::applyContentSize(const std::vector<double>& values)
{
    if (!m_sizesContent)
        return;
    const Node& root = m_nodes.front();
    CGSize size { std::max<CGFloat>(0, roundToPixel(values[root.firstVariable + 2], m_scale)),
        std::max<CGFloat>(0, roundToPixel(values[root.firstVariable + 3], m_scale)) };
    if (!(size == m_scrollRoot->contentSize()))
        m_scrollRoot->setContentSize(size);
}

void SubtreeSolve::layout()
{
    collectNodes();
    bool anyVariable
        = std::any_of(m_nodes.begin(), m_nodes.end(), [](const Node& node) { return node.variable; });
    collectConstraints();
    prepareContentSize();
    if (!anyVariable) {
        // Nothing to place; only report constraints that the fixed frames contradict.
        if (!m_constraints.empty())
            buildEquations();
        return;
    }
    constexpr int passes = 4;
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<double> values = solve(buildEquations());
        bool last = pass == passes - 1;
        if (updateWrapWidths(values) && !last)
            continue;
        applyFrames(values);
        applyContentSize(values);
        if (!guidesMoved() || last)
            break;
        for (auto& node : m_nodes)
            node.frame = node.view->frame();
    }
}

CGSize SubtreeSolve::fit(CGSize target, UILayoutPriority horizontal, UILayoutPriority vertical)
{
    collectNodes();
    collectConstraints();
    const Node& root = m_nodes.front();
    auto pull = [&](const LinearExpression& dimension, CGFloat value, UILayoutPriority priority) {
        Equation eq;
        eq.expression = dimension;
        eq.expression.constant -= value;
        eq.priority = std::clamp<UILayoutPriority>(priority, 1, UILayoutPriorityRequired);
        m_fittingEquations.push_back(std::move(eq));
    };
    pull(root.geometry.width, target.width, horizontal);
    pull(root.geometry.height, target.height, vertical);
    std::vector<double> values;
    for (int pass = 0; pass < 3; ++pass) {
        values = solve(buildEquations());
        if (!updateWrapWidths(values))
            break;
    }
    return { std::max<CGFloat>(0, roundToPixel(values[root.firstVariable + 2], m_scale)),
        std::max<CGFloat>(0, roundToPixel(values[root.firstVariable + 3], m_scale)) };
}

std::shared_ptr<UIView> commonAncestor(const std::shared_ptr<UIView>& a, const std::shared_ptr<UIView>& b)
{
    std::vector<const UIView*> chain;
    for (auto v = a; v; v = v->superview())
        chain.push_back(v.get());
    for (auto v = b; v; v = v->superview()) {
        if (std::find(chain.begin(), chain.end(), v.get()) != chain.end())
            return v;
    }
    return nullptr;
}

// The natural size of a stack view's arranged view: what its constraints and content give it
// when it is placed by constraints, else its content size or frame.
CGSize arrangedViewSize(UIView& view)
{
    if (!translatesAutoresizingMask(view))
        return systemLayoutSizeFitting(view, UILayoutFittingCompressedSize);
    CGSize intrinsic = view.intrinsicContentSize();
    CGSize frame = view.frame().size;
    return { intrinsic.width == UIView::noIntrinsicMetric ? frame.width : intrinsic.width,
        intrinsic.height == UIView::noIntrinsicMetric ? frame.height : intrinsic.height };
}

}

void ConstraintLayoutEngine::install()
{
    static std::shared_ptr<ConstraintLayoutEngine> engine = std::make_shared<ConstraintLayoutEngine>();
    if (UIView::layoutEngine() != engine.get()) {
        UIView::setLayoutEngine(engine);
        UIStackView::setMeasure(arrangedViewSize);
    }
}

bool ConstraintLayoutEngine::noteBroken(NSLayoutConstraint& constraint)
{
    if (constraint.m_reportedBroken)
        return false;
    constraint.m_reportedBroken = true;
    return true;
}

std::uint64_t ConstraintLayoutEngine::nextSequence()
{
    return ++sequenceCounter();
}

void ConstraintLayoutEngine::layoutSubviews(UIView& view)
{
    // Views being laid out right now: see below.
    static std::vector<const UIView*> settling;
    if (std::find(settling.begin(), settling.end(), &view) != settling.end())
        return;
    SubtreeSolve(view, SolveMode::layout).layout();
    // Resizing a subview marks its superview again. The frames just set are the solution, so
    // the view settles by passing through layout once more without solving.
    if (!view.needsLayout())
        return;
    settling.push_back(&view);
    view.layoutIfNeeded();
    settling.pop_back();
}

void ConstraintLayoutEngine::intrinsicContentSizeDidChange(UIView& view)
{
    auto* state = layoutState(view);
    if (!state)
        return;
    state->intrinsicSize.reset();
    state->wrapWidth.reset();
    if (state->translatesAutoresizingMask)
        return;
    if (auto superview = view.superview())
        setNeedsConstraintLayout(*superview);
}

CGSize ConstraintLayoutEngine::fittingSize(
    UIView& view, CGSize target, UILayoutPriority horizontal, UILayoutPriority vertical)
{
    install();
    return SubtreeSolve(view, SolveMode::fitting).fit(target, horizontal, vertical);
}

void ConstraintLayoutEngine::setNeedsConstraintLayout(UIView& view)
{
    install();
    view.setNeedsLayout();
    if (translatesAutoresizingMask(view))
        return;
    for (auto up = view.superview(); up; up = up->superview()) {
        up->setNeedsLayout();
        if (translatesAutoresizingMask(*up))
            break;
    }
}

bool ConstraintLayoutEngine::installConstraint(NSLayoutConstraint& constraint)
{
    install();
    auto first = constraint.firstItem().view();
    if (!first) {
        Log::write("[LayoutConstraints] Cannot activate a constraint without a first view: "
            + constraint.description());
        return false;
    }
    std::shared_ptr<UIView> installer = first;
    if (!constraint.secondItem().isEmpty()) {
        auto second = constraint.secondItem().view();
        installer = second ? commonAncestor(first, second) : nullptr;
        if (!installer) {
            Log::write("[LayoutConstraints] Cannot activate a constraint whose views share no ancestor: "
                + constraint.description());
            return false;
        }
    }
    ensureLayoutState(*installer).installed.push_back(constraint.shared_from_this());
    constraint.m_installedOn = installer;
    setNeedsConstraintLayout(*installer);
    return true;
}

void ConstraintLayoutEngine::uninstallConstraint(NSLayoutConstraint& constraint)
{
    constraint.m_active = false;
    auto installer = constraint.m_installedOn.lock();
    constraint.m_installedOn.reset();
    if (!installer)
        return;
    if (auto* state = layoutState(*installer)) {
        std::erase_if(state->installed, [&](const auto& c) { return c.get() == &constraint; });
        setNeedsConstraintLayout(*installer);
    }
}
