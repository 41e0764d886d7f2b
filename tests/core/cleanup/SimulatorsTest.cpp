#include "cleanup/Simulators.h"

#include "support/FakeTool.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::reply;

using Devices = std::vector<SimulatorDevice>;

TEST(SimulatorsTest, RuntimeNames) {
    const std::pair<const char*, const char*> rows[] = {
        {"com.apple.CoreSimulator.SimRuntime.iOS-17-2", "iOS 17.2"},
        {"com.apple.CoreSimulator.SimRuntime.watchOS-10-0-1", "watchOS 10.0.1"},
        {"com.apple.CoreSimulator.SimRuntime.xrOS-1-0", "xrOS 1.0"},
        {"Plain", "Plain"},
        {"a.b.Last", "Last"},
        {"a.iOS-17-2.", "iOS 17.2"},
        {"a..b", "b"},
        {"...", "..."},
        {"", ""},
        {"iOS-", "iOS "},
        {"x.-17", " 17"},
    };
    for (const auto& [key, name] : rows) EXPECT_EQ(Simulators::runtimeName(key), name) << key;
}

TEST(SimulatorsTest, ParsesDevicesGroupedByRuntimeKey) {
    // "b.iOS-9-0" names an older system than "c.iOS-10-0" would sort as text, but the whole
    // key decides the order.
    const char* json = R"({"devices": {
        "z.iOS-1-0": [{"udid": "Z1", "name": "Old", "isAvailable": false, "state": "Shutdown"}],
        "a.iOS-17-2": [{"udid": "A1", "name": "iPhone 15"}, {"udid": "A2", "name": "iPad", "isAvailable": true}],
        "empty.tvOS-17-0": [],
        "b.watchOS-10-0-1": [{"udid": "B1", "name": "Watch", "isAvailable": null, "extra": [1, 2]}]
    }, "other": 1})";
    EXPECT_EQ(Simulators::parse(json), (Devices{{"A1", "iPhone 15", "iOS 17.2", true},
                                                {"A2", "iPad", "iOS 17.2", true},
                                                {"B1", "Watch", "watchOS 10.0.1", true},
                                                {"Z1", "Old", "iOS 1.0", false}}));
}

TEST(SimulatorsTest, AnythingMalformedEmptiesTheList) {
    const char* rows[] = {
        "",
        "not json",
        "[]",
        R"({})",
        R"({"devices": []})",
        R"({"devices": {"k": {}}})",
        R"({"devices": {"k": [{"udid": "A"}]}})",
        R"({"devices": {"a": [{"udid": "A", "name": "ok"}], "b": [{"name": "no udid"}]}})",
        R"({"devices": {"k": [{"udid": 5, "name": "x"}]}})",
        R"({"devices": {"k": [{"udid": "A", "name": "x", "isAvailable": "yes"}]}})",
        R"({"devices": {"k": [{"udid": "A", "name": "x", "isAvailable": 0}]}})",
        R"({"devices": {"k": ["A"]}})",
        R"({"devices": {}} trailing)",
    };
    for (const char* json : rows) EXPECT_TRUE(Simulators::parse(json).empty()) << json;
    EXPECT_TRUE(Simulators::parse(R"({"devices": {}})").empty());
}

TEST(SimulatorsTest, ListRunsTheToolAndTrustsOnlyASuccess) {
    const std::string listing = R"({"devices": {"r.iOS-17-2": [{"udid": "A", "name": "x"}]}})";
    struct Row {
        const char* name;
        int status;
        Devices expected;
    };
    const Row rows[] = {
        {"success", 0, {{"A", "x", "iOS 17.2", true}}},
        {"failure with valid output", 1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        test::FakeTool xcrun(home.path("xcrun"), reply(listing, row.status));
        EXPECT_EQ(Simulators::list(xcrun.path()), row.expected);
        EXPECT_EQ(xcrun.arguments(), (std::vector<std::string>{"simctl", "list", "devices", "-j"}));
    }
    test::TempHome home;
    EXPECT_TRUE(Simulators::list(home.path("missing")).empty());
}

} // namespace
} // namespace tidra
