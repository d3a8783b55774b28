#pragma once

#include "app/Extensions/ViewNib.h"
#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/lists/UITableView.h"

#include <memory>
#include <string>

// Typed registration and dequeue of list cells and supplementary views. The reuse identifier is
// always the class's own unqualified name (reuseIdentifier<ZV_SettingCell>() is "ZV_SettingCell"),
// so registration and dequeue of one class agree without a string at the call site. A dequeue that yields
// another class (another class registered under that name, or none) stops the program with a message naming
// the class asked for. Cells build their views in code: there are no interface files to load.

template<typename Cell> void registerCell(UITableView& table)
{
    table.registerClass<Cell>(reuseIdentifier<Cell>());
}

template<typename Cell> std::shared_ptr<Cell> dequeueCell(UITableView& table, const IndexPath& indexPath)
{
    return table.dequeueReusableCell<Cell>(reuseIdentifier<Cell>(), indexPath);
}

template<typename Cell> void registerCell(UICollectionView& collection)
{
    collection.registerClass<Cell>(reuseIdentifier<Cell>());
}

template<typename Cell>
std::shared_ptr<Cell> dequeueCell(UICollectionView& collection, const IndexPath& indexPath)
{
    return collection.dequeueReusableCell<Cell>(reuseIdentifier<Cell>(), indexPath);
}

// `kind` is the element kind of the layout, e.g. UICollectionElementKindSectionHeader.
template<typename View> void registerSupplementaryView(UICollectionView& collection, const std::string& kind)
{
    collection.registerSupplementaryClass<View>(kind, reuseIdentifier<View>());
}

template<typename View>
std::shared_ptr<View> dequeueSupplementaryView(
    UICollectionView& collection, const std::string& kind, const IndexPath& indexPath)
{
    return collection.dequeueReusableSupplementaryView<View>(kind, reuseIdentifier<View>(), indexPath);
}
