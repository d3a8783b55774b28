#pragma once

#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/ui/UIView.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

enum class SJAdapterLayoutType {
    vertical = 0,
    horizontal = 1,
};

// A row (or column) of edge items. A horizontal row lays its shown items out from left to right
// in a band of `itemExtent` at its top, each item's insets around it: images take the band's
// height as width, texts their width, custom views their own width, filling items share what
// is left. Changes to items show at once; reload() refreshes all. Main thread.
class SJEdgeControlButtonItemAdapter : public UIView {
public:
    static constexpr CGFloat itemExtent = 49;

    SJEdgeControlButtonItemAdapter(const CGRect& frame, SJAdapterLayoutType layoutType);
    ~SJEdgeControlButtonItemAdapter() override;

    std::string className() const override { return "SJEdgeControlButtonItemAdapter"; }
    SJAdapterLayoutType layoutType() const { return m_layoutType; }

    const std::vector<std::shared_ptr<SJEdgeControlButtonItem>>& items() const { return m_items; }
    std::size_t numberOfItems() const { return m_items.size(); }
    void addItem(std::shared_ptr<SJEdgeControlButtonItem> item);
    void addItemsFromArray(const std::vector<std::shared_ptr<SJEdgeControlButtonItem>>& items);
    void insertItem(std::shared_ptr<SJEdgeControlButtonItem> item, std::size_t index);
    void removeItemForTag(int tag);
    void removeAllItems();
    // The first item with the tag; none when there is none.
    std::shared_ptr<SJEdgeControlButtonItem> itemForTag(int tag) const;
    std::optional<std::size_t> indexOfItemForTag(int tag) const;
    // Swaps the places of the two items; nothing when either is missing.
    void exchangeItemForTag(int tag, int otherTag);

    void reload();
    // The view that shows the item (none for a hidden or filling item).
    std::shared_ptr<UIView> viewForItemForTag(int tag) const;

    void layoutSubviews() override;
    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr) override;

private:
    void watch(const std::shared_ptr<SJEdgeControlButtonItem>& item);
    std::shared_ptr<UIView> makeView(const std::shared_ptr<SJEdgeControlButtonItem>& item);
    CGFloat extentOf(const SJEdgeControlButtonItem& item, const UIView* view) const;

    SJAdapterLayoutType m_layoutType;
    std::vector<std::shared_ptr<SJEdgeControlButtonItem>> m_items;
    std::map<const SJEdgeControlButtonItem*, std::shared_ptr<UIView>> m_views;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
