#include "platform/foundation/NotificationCenter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(NotificationCenter, DeliversToObserversOfTheNameInRegistrationOrder)
{
    NotificationCenter center;
    std::vector<std::string> calls;
    center.addObserver("loginSuccess", [&](const Notification&) { calls.push_back("first"); });
    center.addObserver("noti", [&](const Notification&) { calls.push_back("other name"); });
    center.addObserver("loginSuccess", [&](const Notification&) { calls.push_back("second"); });
    center.addObserver("loginSuccess", [&](const Notification&) { calls.push_back("third"); });

    center.post("loginSuccess");
    EXPECT_EQ(calls, (std::vector<std::string> { "first", "second", "third" }));
    calls.clear();
    center.post("LoginSuccess");
    EXPECT_TRUE(calls.empty());
}

TEST(NotificationCenter, ObjectFilterPassesOnlyTheSameObject)
{
    NotificationCenter center;
    struct Item { };
    auto item = std::make_shared<Item>();
    Item other;
    int calls = 0;
    center.addObserver(
        "end", [&](const Notification&) { ++calls; }, nullptr,
        NotificationCenter::matchingObject(item.get()));

    center.post("end", item);
    center.post("end", item.get());
    center.post("end", std::weak_ptr<Item>(item));
    EXPECT_EQ(calls, 3);
    center.post("end", &other);
    center.post("end");
    center.post("end", std::string("text"));
    EXPECT_EQ(calls, 3);
}

TEST(NotificationCenter, RemovalByTokenAndByOwner)
{
    NotificationCenter center;
    int owner = 0;
    int calls = 0;
    auto token = center.addObserver("n", [&](const Notification&) { calls += 1; });
    center.addObserver(
        "n", [&](const Notification&) { calls += 10; }, &owner);
    center.addObserver(
        "m", [&](const Notification&) { calls += 100; }, &owner);
    center.addObserver("n", [&](const Notification&) { calls += 1000; });

    center.removeObserver(token);
    center.removeObserver(token);
    center.removeObserver({});
    center.removeObservers(nullptr);
    center.post("n");
    EXPECT_EQ(calls, 1010);

    center.removeObservers(&owner);
    calls = 0;
    center.post("n");
    center.post("m");
    EXPECT_EQ(calls, 1000);
    // What is left is listed, with no owner.
    auto left = center.observers();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "n");
    EXPECT_EQ(left[0].owner, nullptr);
    center.removeObserver(left[0].token);
    EXPECT_TRUE(center.observers().empty());
}

TEST(NotificationCenter, ChangesDuringAPostFollowTheSnapshotRule)
{
    NotificationCenter center;
    std::vector<std::string> calls;
    NotificationCenter::Token later;
    NotificationCenter::Token self;
    self = center.addObserver("n", [&](const Notification&) {
        calls.push_back("self");
        // Removing itself while running must not destroy the running closure.
        center.removeObserver(self);
        center.removeObserver(later);
        center.addObserver("n", [&](const Notification&) { calls.push_back("added"); });
    });
    later = center.addObserver("n", [&](const Notification&) { calls.push_back("removed before its turn"); });

    center.post("n");
    EXPECT_EQ(calls, std::vector<std::string> { "self" });
    calls.clear();
    center.post("n");
    EXPECT_EQ(calls, std::vector<std::string> { "added" });
}

TEST(NotificationCenter, NestedPostsAndOwnerRemovalDuringDelivery)
{
    NotificationCenter center;
    int owner = 0;
    std::vector<std::string> calls;
    center.addObserver("outer", [&](const Notification&) {
        calls.push_back("outer");
        center.post("inner");
        center.removeObservers(&owner);
    });
    center.addObserver("inner", [&](const Notification&) { calls.push_back("inner"); });
    center.addObserver(
        "outer", [&](const Notification&) { calls.push_back("owned"); }, &owner);
    center.post("outer");
    EXPECT_EQ(calls, (std::vector<std::string> { "outer", "inner" }));
}

}
