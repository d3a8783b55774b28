#include "platform/ui/layout/detail/SimplexSolver.h"

#include <algorithm>
#include <cmath>

namespace detail::autolayout {

namespace {

constexpr double epsilon = 1e-8;

bool nearZero(double value)
{
    return std::abs(value) < epsilon;
}

}

void LinearExpression::add(const LinearExpression& other, double factor)
{
    for (const auto& term : other.terms)
        terms.push_back({ term.variable, term.coefficient * factor });
    constant += other.constant * factor;
}

void LinearExpression::simplify()
{
    std::sort(
        terms.begin(), terms.end(), [](const auto& a, const auto& b) { return a.variable < b.variable; });
    std::vector<LinearTerm> merged;
    merged.reserve(terms.size());
    for (const auto& term : terms) {
        if (!merged.empty() && merged.back().variable == term.variable)
            merged.back().coefficient += term.coefficient;
        else
            merged.push_back(term);
    }
    std::erase_if(merged, [](const auto& term) { return nearZero(term.coefficient); });
    terms = std::move(merged);
}

// ---- Row ----

double SimplexSolver::Row::coefficientFor(Symbol s) const
{
    if (!mayContain(s))
        return 0.0;
    auto it = std::lower_bound(
        cells.begin(), cells.end(), s, [](const auto& c, Symbol v) { return c.first < v; });
    return it != cells.end() && it->first == s ? it->second : 0.0;
}

void SimplexSolver::Row::insert(Symbol s, double coefficient)
{
    auto it = std::lower_bound(
        cells.begin(), cells.end(), s, [](const auto& c, Symbol v) { return c.first < v; });
    if (it != cells.end() && it->first == s) {
        it->second += coefficient;
        if (nearZero(it->second))
            cells.erase(it);
        return;
    }
    if (!nearZero(coefficient)) {
        cells.insert(it, { s, coefficient });
        mask |= bit(s);
    }
}

void SimplexSolver::Row::insert(const Row& other, double factor)
{
    constant += other.constant * factor;
    // Merges into a buffer that keeps its capacity from one call to the next.
    static thread_local std::vector<std::pair<Symbol, double>> merged;
    merged.clear();
    merged.reserve(cells.size() + other.cells.size());
    auto a = cells.begin();
    auto b = other.cells.begin();
    while (a != cells.end() || b != other.cells.end()) {
        if (b == other.cells.end() || (a != cells.end() && a->first < b->first)) {
            merged.push_back(*a++);
        } else if (a == cells.end() || b->first < a->first) {
            double value = b->second * factor;
            if (!nearZero(value))
                merged.push_back({ b->first, value });
            ++b;
        } else {
            double value = a->second + b->second * factor;
            if (!nearZero(value))
                merged.push_back({ a->first, value });
            ++a;
            ++b;
        }
    }
    cells.swap(merged);
    mask = 0;
    for (const auto& cell : cells)
        mask |= bit(cell.first);
}

void SimplexSolver::Row::remove(Symbol s)
{
    auto it = std::lower_bound(
        cells.begin(), cells.end(), s, [](const auto& c, Symbol v) { return c.first < v; });
    if (it != cells.end() && it->first == s)
        cells.erase(it);
}

void SimplexSolver::Row::reverseSign()
{
    constant = -constant;
    for (auto& cell : cells)
        cell.second = -cell.second;
}

// The row reads 0 = constant + sum; afterwards it reads s = constant' + sum' (s removed).
void SimplexSolver::Row::solveFor(Symbol s)
{
    double coefficient = -1.0 / coefficientFor(s);
    remove(s);
    constant *= coefficient;
    for (auto& cell : cells)
        cell.second *= coefficient;
}

// The row reads lhs = ... + c * rhs + ...; afterwards it reads rhs = ... .
void SimplexSolver::Row::solveFor(Symbol lhs, Symbol rhs)
{
    insert(lhs, -1.0);
    solveFor(rhs);
}

bool SimplexSolver::Row::substitute(Symbol s, const Row& row)
{
    if (!mayContain(s))
        return false;
    double coefficient = coefficientFor(s);
    if (coefficient == 0.0)
        return false;
    remove(s);
    insert(row, coefficient);
    return true;
}

// ---- Solver ----

SimplexSolver::SimplexSolver(std::size_t levels)
    : m_objective(std::max<std::size_t>(levels, 1))
{ }

SimplexSolver::Symbol SimplexSolver::newSymbol(Kind kind)
{
    m_kinds.push_back(kind);
    m_rowOf.push_back(-1);
    m_inRows.push_back(0);
    return static_cast<Symbol>(m_kinds.size() - 1);
}

std::uint32_t SimplexSolver::newVariable()
{
    return newSymbol(Kind::external);
}

double SimplexSolver::value(std::uint32_t variable) const
{
    if (variable >= m_rowOf.size() || m_rowOf[variable] < 0)
        return 0;
    return m_rows[static_cast<std::size_t>(m_rowOf[variable])].constant;
}

void SimplexSolver::addRow(Symbol basic, Row row)
{
    for (const auto& cell : row.cells)
        m_inRows[cell.first] = 1;
    m_rowOf[basic] = static_cast<int>(m_rows.size());
    m_basic.push_back(basic);
    m_rows.push_back(std::move(row));
}

SimplexSolver::Row SimplexSolver::takeRow(int index)
{
    auto i = static_cast<std::size_t>(index);
    Row row = std::move(m_rows[i]);
    m_rowOf[m_basic[i]] = -1;
    std::size_t last = m_rows.size() - 1;
    if (i != last) {
        m_rows[i] = std::move(m_rows[last]);
        m_basic[i] = m_basic[last];
        m_rowOf[m_basic[i]] = index;
    }
    m_rows.pop_back();
    m_basic.pop_back();
    return row;
}

SimplexSolver::Row SimplexSolver::createRow(
    const LinearExpression& expression, LinearRelation relation, int level, Tag& tag)
{
    Row row;
    row.constant = expression.constant;
    for (const auto& term : expression.terms) {
        if (nearZero(term.coefficient))
            continue;
        if (isBasic(term.variable))
            row.insert(m_rows[static_cast<std::size_t>(m_rowOf[term.variable])], term.coefficient);
        else
            row.insert(term.variable, term.coefficient);
    }

    bool optional = level >= 0;
    if (relation != LinearRelation::equal) {
        double coefficient = relation == LinearRelation::lessOrEqual ? 1.0 : -1.0;
        Symbol slack = newSymbol(Kind::slack);
        tag.marker = slack;
        row.insert(slack, coefficient);
        if (optional) {
            Symbol error = newSymbol(Kind::error);
            tag.other = error;
            row.insert(error, -coefficient);
            m_objective[static_cast<std::size_t>(level)].insert(error, 1.0);
        }
    } else if (optional) {
        Symbol plus = newSymbol(Kind::error);
        Symbol minus = newSymbol(Kind::error);
        tag.marker = plus;
        tag.other = minus;
        row.insert(plus, -1.0);
        row.insert(minus, 1.0);
        m_objective[static_cast<std::size_t>(level)].insert(plus, 1.0);
        m_objective[static_cast<std::size_t>(level)].insert(minus, 1.0);
    } else {
        Symbol dummy = newSymbol(Kind::dummy);
        tag.marker = dummy;
        row.insert(dummy, 1.0);
    }
    if (row.constant < 0)
        row.reverseSign();
    return row;
}

SimplexSolver::Symbol SimplexSolver::chooseSubject(const Row& row, const Tag& tag) const
{
    for (const auto& cell : row.cells) {
        if (m_kinds[cell.first] == Kind::external)
            return cell.first;
    }
    for (Symbol s : { tag.marker, tag.other }) {
        if (s == invalid)
            continue;
        Kind kind = m_kinds[s];
        if ((kind == Kind::slack || kind == Kind::error) && row.coefficientFor(s) < 0.0)
            return s;
    }
    return invalid;
}

bool SimplexSolver::allDummies(const Row& row) const
{
    return std::all_of(row.cells.begin(), row.cells.end(),
        [&](const auto& cell) { return m_kinds[cell.first] == Kind::dummy; });
}

bool SimplexSolver::add(const LinearExpression& expression, LinearRelation relation, int level)
{
    if (level >= static_cast<int>(m_objective.size()))
        level = static_cast<int>(m_objective.size()) - 1;
    Tag tag;
    Row row = createRow(expression, relation, level, tag);
    Symbol subject = chooseSubject(row, tag);
    if (subject == invalid && allDummies(row)) {
        if (!nearZero(row.constant))
            return false;
        subject = tag.marker;
    }
    if (subject == invalid)
        return addWithArtificialVariable(row);
    row.solveFor(subject);
    substitute(subject, row);
    addRow(subject, std::move(row));
    return true;
}

bool SimplexSolver::addWithArtificialVariable(const Row& row)
{
    Symbol artificial = newSymbol(Kind::slack);
    addRow(artificial, row);
    m_artificial = row;
    bool finished = optimizeObjective(true);
    bool success = finished && nearZero(m_artificial->constant);
    m_artificial.reset();

    if (isBasic(artificial)) {
        Row basicRow = takeRow(m_rowOf[artificial]);
        if (basicRow.cells.empty())
            return success;
        Symbol entering = anyPivotableSymbol(basicRow);
        if (entering == invalid)
            return false;
        basicRow.solveFor(artificial, entering);
        substitute(entering, basicRow);
        addRow(entering, std::move(basicRow));
    }
    for (auto& r : m_rows)
        r.remove(artificial);
    for (auto& objective : m_objective)
        objective.remove(artificial);
    return success;
}

SimplexSolver::Symbol SimplexSolver::anyPivotableSymbol(const Row& row) const
{
    for (const auto& cell : row.cells) {
        Kind kind = m_kinds[cell.first];
        if (kind == Kind::slack || kind == Kind::error)
            return cell.first;
    }
    return invalid;
}

void SimplexSolver::substitute(Symbol s, const Row& row)
{
    if (m_inRows[s]) {
        for (auto& r : m_rows)
            r.substitute(s, row);
    }
    for (auto& objective : m_objective)
        objective.substitute(s, row);
    if (m_artificial)
        m_artificial->substitute(s, row);
}

// A symbol whose coefficient vector over the levels is lexicographically negative: raising it
// lowers the strongest level it touches. The lowest such symbol keeps the choice deterministic
// and, with the ratio test's first-row rule, avoids cycling in practice.
SimplexSolver::Symbol SimplexSolver::enteringSymbol(bool artificial) const
{
    if (artificial) {
        for (const auto& cell : m_artificial->cells) {
            if (m_kinds[cell.first] != Kind::dummy && cell.second < -epsilon)
                return cell.first;
        }
        return invalid;
    }
    for (std::size_t level = 0; level < m_objective.size(); ++level) {
        for (const auto& cell : m_objective[level].cells) {
            if (m_kinds[cell.first] == Kind::dummy || cell.second >= -epsilon)
                continue;
            bool settledAbove = true;
            for (std::size_t above = 0; above < level && settledAbove; ++above)
                settledAbove = nearZero(m_objective[above].coefficientFor(cell.first));
            if (settledAbove)
                return cell.first;
        }
    }
    return invalid;
}

int SimplexSolver::leavingRow(Symbol entering) const
{
    double best = 0;
    int found = -1;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_kinds[m_basic[i]] == Kind::external)
            continue;
        double coefficient = m_rows[i].coefficientFor(entering);
        if (coefficient >= -epsilon)
            continue;
        double ratio = -m_rows[i].constant / coefficient;
        if (found < 0 || ratio < best) {
            best = ratio;
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool SimplexSolver::optimizeObjective(bool artificial)
{
    // Generous bound on pivots: the tableau is small, and a stuck loop must end.
    std::size_t limit = 64 + 16 * (m_rows.size() + m_kinds.size());
    for (std::size_t step = 0; step < limit; ++step) {
        Symbol entering = enteringSymbol(artificial);
        if (entering == invalid)
            return true;
        int index = leavingRow(entering);
        if (index < 0)
            return false;
        Symbol leaving = m_basic[static_cast<std::size_t>(index)];
        Row row = takeRow(index);
        row.solveFor(leaving, entering);
        substitute(entering, row);
        addRow(entering, std::move(row));
    }
    return false;
}

bool SimplexSolver::optimize()
{
    return optimizeObjective(false);
}

}
