#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace detail::autolayout {

// A linear expression over solver variables: sum of coefficient * variable, plus a constant.
struct LinearTerm {
    std::uint32_t variable = 0;
    double coefficient = 0;
};

struct LinearExpression {
    std::vector<LinearTerm> terms;
    double constant = 0;

    void add(std::uint32_t variable, double coefficient) { terms.push_back({ variable, coefficient }); }
    void add(const LinearExpression& other, double factor = 1);
    // Merges repeated variables and drops the ones whose coefficients cancel.
    void simplify();
    bool hasVariables() const { return !terms.empty(); }
};

enum class LinearRelation { lessOrEqual, equal, greaterOrEqual };

// A Cassowary-style simplex over a tableau of restricted (slack, error) and unrestricted
// (external) symbols. Required constraints are hard; every optional one belongs to a priority
// level, and the levels are minimised lexicographically (level 0 first), so no amount of error
// at a weaker level can buy any error at a stronger one.
//
// The layout builds a fresh solver for every solve, so there are no edit variables and no
// removals. A required constraint that cannot be satisfied makes add() fail and leaves the
// tableau unusable: the caller starts again without it.
class SimplexSolver {
public:
    static constexpr int requiredLevel = -1;

    explicit SimplexSolver(std::size_t levels);

    std::uint32_t newVariable();
    // expression RELATION 0. Returns false when a required constraint conflicts.
    bool add(const LinearExpression& expression, LinearRelation relation, int level);
    // Minimises the errors; false when it could not finish (numerical trouble), in which case
    // the values are those of some feasible solution.
    bool optimize();
    double value(std::uint32_t variable) const;

private:
    enum class Kind : std::uint8_t { external, slack, error, dummy };
    using Symbol = std::uint32_t;
    static constexpr Symbol invalid = UINT32_MAX;

    class Row {
    public:
        double constant = 0;
        std::vector<std::pair<Symbol, double>> cells; // sorted by symbol
        // A bit per symbol modulo 64 for every symbol the row may hold: a clear bit means the
        // symbol is absent, which lets substitution skip most rows without searching them.
        std::uint64_t mask = 0;

        static std::uint64_t bit(Symbol s) { return std::uint64_t { 1 } << (s & 63); }
        bool mayContain(Symbol s) const { return mask & bit(s); }

        double coefficientFor(Symbol s) const;
        void insert(Symbol s, double coefficient);
        void insert(const Row& other, double factor);
        void remove(Symbol s);
        void reverseSign();
        void solveFor(Symbol s);
        void solveFor(Symbol lhs, Symbol rhs);
        bool substitute(Symbol s, const Row& row);
    };

    struct Tag {
        Symbol marker = invalid;
        Symbol other = invalid;
    };

    Symbol newSymbol(Kind kind);
    Row createRow(const LinearExpression& expression, LinearRelation relation, int level, Tag& tag);
    Symbol chooseSubject(const Row& row, const Tag& tag) const;
    bool allDummies(const Row& row) const;
    bool addWithArtificialVariable(const Row& row);
    bool optimizeObjective(bool artificial);
    Symbol enteringSymbol(bool artificial) const;
    int leavingRow(Symbol entering) const;
    Symbol anyPivotableSymbol(const Row& row) const;
    void substitute(Symbol s, const Row& row);
    void addRow(Symbol basic, Row row);
    Row takeRow(int index);
    bool isBasic(Symbol s) const { return m_rowOf[s] >= 0; }

    std::vector<Kind> m_kinds;
    std::vector<int> m_rowOf;
    // Whether the symbol may appear in a row of the tableau; substituting one that does not
    // skips the rows (most new constraints solve for a fresh variable).
    std::vector<char> m_inRows;
    std::vector<Symbol> m_basic;
    std::vector<Row> m_rows;
    std::vector<Row> m_objective;
    std::optional<Row> m_artificial;
};

}
