#include "platform/SystemdUnit.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

TEST(SystemdUnitTest, ReadsTheDescriptionAndTheFirstCommandsProgram) {
    const struct {
        const char* what;
        std::string text;
        SystemdUnit expected;
    } rows[] = {
        {"plain", "[Unit]\nDescription=Sync daemon\n[Service]\nExecStart=/usr/bin/syncd --quiet\n",
         {"Sync daemon", "/usr/bin/syncd"}},
        {"prefixes", "[Service]\nExecStart=-@:+!!/opt/tool/run argv0 x\n", {"", "/opt/tool/run"}},
        {"blanks and quotes", "[Unit]\n  Description =  Agent \n[Service]\nExecStart = \"/opt/my tool/agent\" -v\n",
         {"Agent", "/opt/my tool/agent"}},
        {"first command wins", "[Service]\nExecStart=/bin/first\nExecStart=/bin/second\n", {"", "/bin/first"}},
        {"an empty value resets", "[Service]\nExecStart=/bin/first\nExecStart=\nExecStart=/bin/second\n",
         {"", "/bin/second"}},
        {"reset leaves none", "[Service]\nExecStart=/bin/first\nExecStart=\n", {"", std::nullopt}},
        {"other sections ignored", "[Install]\nDescription=no\nExecStart=/bin/no\n[Service]\n#ExecStart=/bin/no\n",
         {"", std::nullopt}},
        {"bare name", "[Service]\r\nExecStart=node server.js\r\n", {"", "node"}},
        {"only marks", "[Service]\nExecStart=-\n", {"", std::nullopt}},
        {"not a unit", "garbage without sections", {"", std::nullopt}},
    };
    for (const auto& row : rows) EXPECT_EQ(parseSystemdUnit(row.text), row.expected) << row.what;
}

TEST(SystemdUnitTest, ReadsAFileOrNothing) {
    test::TempHome home;
    home.text("a.service", "[Unit]\nDescription=A\n");
    EXPECT_EQ(readSystemdUnit(home.path("a.service")), (SystemdUnit{"A", std::nullopt}));
    EXPECT_EQ(readSystemdUnit(home.path("missing.service")), std::nullopt);
    EXPECT_EQ(readSystemdUnit(home.dir("folder.service")), std::nullopt);
}

} // namespace
} // namespace tidra::sys
