#include "app/Extensions/CellRegistration.h"

#include <gtest/gtest.h>

namespace shop {

class ZV_TagCell : public UICollectionViewCell { };
class ZV_OtherCell : public UICollectionViewCell { };
class ZV_NoteRow : public UITableViewCell { };
class ZV_OtherRow : public UITableViewCell { };
class ZV_TagHeader : public UICollectionReusableView { };

}

namespace {

using namespace shop;

TEST(CellRegistration, TheReuseIdentifierIsTheUnqualifiedClassName)
{
    EXPECT_EQ(reuseIdentifier<ZV_TagCell>(), "ZV_TagCell");
    EXPECT_EQ(reuseIdentifier<UICollectionViewCell>(), "UICollectionViewCell");

    auto collection = std::make_shared<UICollectionView>(CGRect { 0, 0, 200, 200 }, nullptr);
    registerCell<ZV_TagCell>(*collection);
    registerSupplementaryView<ZV_TagHeader>(*collection, UICollectionElementKindSectionHeader);
    EXPECT_NE(dequeueCell<ZV_TagCell>(*collection, { 0, 0 }), nullptr);
    EXPECT_NE(
        dequeueSupplementaryView<ZV_TagHeader>(*collection, UICollectionElementKindSectionHeader, { 0, 0 }),
        nullptr);
    // Registered under the class's name, so the plain string lookup finds it too.
    EXPECT_NE(collection->dequeueReusableCell("ZV_TagCell", { 0, 0 }), nullptr);

    auto table = std::make_shared<UITableView>(CGRect { 0, 0, 200, 200 });
    registerCell<ZV_NoteRow>(*table);
    EXPECT_NE(dequeueCell<ZV_NoteRow>(*table, { 0, 0 }), nullptr);
}

TEST(CellRegistrationDeathTest, ADequeueOfAnotherClassStopsNamingTheClassAskedFor)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto collection = std::make_shared<UICollectionView>(CGRect { 0, 0, 200, 200 }, nullptr);
    collection->registerClass<ZV_OtherCell>("ZV_TagCell");
    EXPECT_DEATH(dequeueCell<ZV_TagCell>(*collection, { 0, 0 }),
        "Couldn't find UICollectionViewCell for ZV_TagCell, make sure the cell is registered with collection "
        "view");
    EXPECT_DEATH(
        dequeueSupplementaryView<ZV_TagHeader>(*collection, UICollectionElementKindSectionFooter, { 0, 0 }),
        "Couldn't find UICollectionReusableView for ZV_TagHeader, make sure the view is registered");

    auto table = std::make_shared<UITableView>(CGRect { 0, 0, 200, 200 });
    table->registerClass<ZV_OtherRow>("ZV_NoteRow");
    EXPECT_DEATH(dequeueCell<ZV_NoteRow>(*table, { 0, 0 }),
        "Couldn't find UITableViewCell for ZV_NoteRow, make sure the cell is registered with table view");
}

}
