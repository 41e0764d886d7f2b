#include "performance/DeveloperTool.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Kind = DeveloperTool::Kind;

TEST(DeveloperToolTest, KindRawValuesRoundTripAndRejectOthers) {
    const char* names[] = {"buildDaemon", "languageServer", "devServer", "emulator", "simulator", "containers"};
    for (std::size_t i = 0; i < DeveloperTool::allKinds.size(); ++i) {
        EXPECT_EQ(rawValue(DeveloperTool::allKinds[i]), names[i]);
        EXPECT_EQ(developerToolKindFromRawValue(names[i]), DeveloperTool::allKinds[i]);
    }
    for (const char* other : {"", "BuildDaemon", "devserver", "containers "})
        EXPECT_FALSE(developerToolKindFromRawValue(other)) << other;
}

TEST(DeveloperToolTest, IdleDaemonIsABuildDaemonBelowOnePercent) {
    struct Row {
        Kind kind;
        double cpu;
        bool idle;
    } rows[] = {{Kind::buildDaemon, 0.99, true},
                {Kind::buildDaemon, 1.0, false},
                {Kind::buildDaemon, 0, true},
                {Kind::languageServer, 0, false},
                {Kind::devServer, 0, false}};
    for (const auto& row : rows) {
        DeveloperTool tool;
        tool.kind = row.kind;
        tool.cpuPercent = row.cpu;
        EXPECT_EQ(tool.isIdleDaemon(), row.idle) << rawValue(row.kind) << " " << row.cpu;
    }
}

TEST(DeveloperToolTest, StopsCompareCaseAndPayload) {
    using Stop = DeveloperTool::Stop;
    const auto at = std::chrono::system_clock::time_point(std::chrono::seconds(100));
    EXPECT_EQ(Stop(Stop::Signal{{{7, at}}}), Stop(Stop::Signal{{{7, at}}}));
    EXPECT_NE(Stop(Stop::Signal{{{7, at}}}), Stop(Stop::Signal{{{7, std::nullopt}}}));
    EXPECT_NE(Stop(Stop::QuitApp{"a"}), Stop(Stop::Command{"a", {}, std::nullopt}));
    EXPECT_NE(Stop(Stop::Command{"/t", {"x"}, "b"}), Stop(Stop::Command{"/t", {"x"}, std::nullopt}));
}

} // namespace
} // namespace tidra
