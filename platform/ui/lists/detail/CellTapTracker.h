#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIResponder.h"
#include "platform/ui/gestures/UITouch.h"
#include "platform/ui/lists/IndexPath.h"

#include <map>
#include <memory>
#include <optional>

namespace detail {

// Follows the finger of a tap on the shown cells of a list: the cell it goes down on is
// highlighted, and lifting over that same cell is a tap. Lifting elsewhere, a cancel, or the
// cell going back to its queue meanwhile is no tap. Shared by collection and table views,
// whose cells both answer setHighlighted(bool).
template<typename Cell> class CellTapTracker {
public:
    using Cells = std::map<IndexPath, std::shared_ptr<Cell>>;

    void begin(const Cells& cells, const UITouchSet& touches, const UIView* list, bool allowed)
    {
        clear(cells);
        if (touches.empty() || !allowed)
            return;
        m_touched = cellAt(cells, touches.front()->location(list));
        if (auto cell = find(cells, m_touched))
            cell->setHighlighted(true);
    }

    // The cell tapped, if the finger lifted over the one it went down on.
    std::optional<IndexPath> end(const Cells& cells, const UITouchSet& touches, const UIView* list)
    {
        auto touched = m_touched;
        clear(cells);
        if (touches.empty() || !touched || cellAt(cells, touches.front()->location(list)) != touched)
            return std::nullopt;
        return touched;
    }

    void clear(const Cells& cells)
    {
        if (auto cell = find(cells, m_touched))
            cell->setHighlighted(false);
        m_touched.reset();
    }

    // The cell at the index path left the screen; the caller has taken its highlight off.
    void forget(const IndexPath& indexPath)
    {
        if (m_touched == indexPath)
            m_touched.reset();
    }

private:
    static std::optional<IndexPath> cellAt(const Cells& cells, CGPoint point)
    {
        for (const auto& [indexPath, cell] : cells) {
            if (!cell->isHidden() && cell->frame().contains(point))
                return indexPath;
        }
        return std::nullopt;
    }

    static Cell* find(const Cells& cells, const std::optional<IndexPath>& indexPath)
    {
        if (!indexPath)
            return nullptr;
        auto it = cells.find(*indexPath);
        return it == cells.end() ? nullptr : it->second.get();
    }

    std::optional<IndexPath> m_touched;
};

}
