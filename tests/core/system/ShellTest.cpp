#include "system/Shell.h"

#include "support/FakeTool.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tidra {
namespace {

using namespace std::chrono_literals;

TEST(ShellTest, PassesArgumentsByteForByte) {
    test::TempHome home;
    test::FakeTool::Answer answer;
    answer.standardOutput = "done\n";
    test::FakeTool tool(home.path("tool"), answer);
    const std::vector<std::string> arguments = {
        ";", "$(id)", "`id`", "a b", "'", "\"", "line\nline", "\xFF\xFE", "", "*", "--", "-rf",
    };
    const auto output = Shell::run(tool.path(), arguments, {}, 20s);
    ASSERT_TRUE(output);
    EXPECT_TRUE(output->succeeded());
    EXPECT_EQ(output->standardOutput, "done\n");
    EXPECT_EQ(tool.arguments(), arguments);
}

TEST(ShellTest, OverlayReplacesOnlyTheVariablesItNames) {
    test::TempHome home;
    test::FakeTool tool(home.path("tool"), {});
    ::setenv("TIDRA_SHELL_PROBE", "inherited", 1);
    const std::string home0 = std::getenv("HOME") ? std::getenv("HOME") : "";

    ASSERT_TRUE(Shell::run(tool.path(), {}, {}, 20s));
    auto env = tool.environment();
    EXPECT_EQ(env["TIDRA_SHELL_PROBE"], "inherited");
    EXPECT_EQ(env["HOME"], home0);
    EXPECT_EQ(env["PATH"], std::getenv("PATH"));

    ASSERT_TRUE(Shell::run(tool.path(), {}, {{"HOME", "/elsewhere"}, {"TIDRA_ADDED", "a=b c"}}, 20s));
    env = tool.environment();
    EXPECT_EQ(env["HOME"], "/elsewhere");
    EXPECT_EQ(env["TIDRA_ADDED"], "a=b c");
    EXPECT_EQ(env["TIDRA_SHELL_PROBE"], "inherited");
    EXPECT_EQ(env["PATH"], std::getenv("PATH"));
    ::unsetenv("TIDRA_SHELL_PROBE");
}

TEST(ShellTest, RefusesOverlayNamesThatWouldSetAnotherVariable) {
    for (const std::string name : {"", "A=B"}) EXPECT_FALSE(Shell::run("/bin/true", {}, {{name, "x"}}, 20s)) << name;
}

TEST(ShellTest, RepairsInvalidUtf8OnBothStreams) {
    const auto output = Shell::run("/bin/sh", {"-c", "printf '\\377ok\\342\\202'; printf 'e\\300\\n' >&2"}, {}, 20s);
    ASSERT_TRUE(output);
    EXPECT_EQ(output->standardOutput, "\xEF\xBF\xBDok\xEF\xBF\xBD");
    EXPECT_EQ(output->standardError, "e\xEF\xBF\xBD\n");
}

TEST(ShellTest, ErrorTextDropsBlanksAtEitherEndOnly) {
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {" \t\r\n\v\f", ""},
        {"\n  no such file \n", "no such file"},
        {"first\n\nsecond\n", "first\n\nsecond"},
    };
    for (const auto& [written, shown] : rows) {
        Shell::Output output;
        output.standardError = written;
        EXPECT_EQ(output.errorText(), shown);
    }
}

TEST(ShellTest, SucceedsOnlyWithStatusZeroInTime) {
    const struct {
        const char* script;
        std::int32_t status;
        bool timedOut;
        bool succeeded;
    } cases[] = {
        {"exit 0", 0, false, true},
        {"exit 1", 1, false, false},
        {"exit 255", 255, false, false},
        {"kill -TERM $$", 15, false, false},
        {"exec sleep 30", 15, true, false},
        {"sleep 30 & exit 0", 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const auto output = Shell::run("/bin/sh", {"-c", c.script}, {}, 300ms);
        ASSERT_TRUE(output);
        EXPECT_EQ(output->status, c.status);
        EXPECT_EQ(output->timedOut, c.timedOut);
        EXPECT_EQ(output->succeeded(), c.succeeded);
    }
}

TEST(ShellTest, StubbornToolEndsWithinTheLimitPlusGrace) {
    test::TempHome home;
    test::FakeTool::Answer answer;
    answer.standardOutput = "late\n";
    answer.sleepSeconds = 30;
    answer.ignoreTerm = true;
    test::FakeTool tool(home.path("tool"), answer);
    const auto start = std::chrono::steady_clock::now();
    const auto output = Shell::run(tool.path(), {}, {}, 500ms);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(output);
    EXPECT_TRUE(output->timedOut);
    EXPECT_EQ(output->status, 9);
    EXPECT_EQ(output->standardOutput, "");
    // Status 9 shows the kill came; the bound only says the 30 s were not awaited.
    EXPECT_LT(elapsed, 20s);
}

TEST(ShellTest, MissingToolYieldsNothing) {
    test::TempHome home;
    EXPECT_FALSE(Shell::run(home.path("no-such-tool"), {}, {}, 20s));
    EXPECT_FALSE(Shell::run("true", {}, {}, 20s));
}

} // namespace
} // namespace tidra
