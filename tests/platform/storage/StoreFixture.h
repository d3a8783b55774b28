#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Log.h"
#include "platform/storage/ASConfigration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Each test gets a fresh default database in a temporary folder, a fixed clock and the log lines.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASConfigration::setDefaultDB(databasePath(), "zvlist.db");
        Date::setClockForTesting([this] { return clockSeconds; });
        Log::setSink([this](std::string_view line) { logLines.emplace_back(line); });
    }

    void TearDown() override
    {
        ASConfigration::closeDefaultDB();
        ASConfigration::setDefaultDB("", "");
        Date::setClockForTesting({});
        Log::setSink({});
    }

    std::string databasePath() const { return (dir / "zvlist.db").string(); }

    zvtest::TempDir dir;
    double clockSeconds = 1'700'000'000.0;
    std::vector<std::string> logLines;
};
