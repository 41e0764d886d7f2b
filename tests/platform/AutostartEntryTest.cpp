#include "platform/AutostartEntry.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidra::sys {
namespace {

TEST(AutostartEntryTest, FindsTheProgramOfAnExecLine) {
    const struct {
        const char* exec;
        std::optional<std::string> program;
    } cases[] = {
        {"/opt/x %U", "/opt/x"},
        {"env A=1 /opt/x %U", "/opt/x"},
        {"/usr/bin/env A=1 B=two tool --flag", "tool"},
        {"env A=1", std::nullopt},
        {"\"/opt/My App/run\" --start", "/opt/My App/run"},
        {"\"/opt/say \\\"hi\\\"\"", "/opt/say \"hi\""},
        {"%F /opt/x", "/opt/x"},
        {"100%%done", "100%done"},
        {"  \t  ", std::nullopt},
        {"\"\" /opt/x", std::nullopt},
        {"sh -c 'exec foo'", "sh"},
    };
    for (const auto& c : cases) EXPECT_EQ(execProgram(c.exec), c.program) << c.exec;
    EXPECT_EQ(execWords("a \"b c\" %u %% x%fy"), (std::vector<std::string>{"a", "b c", "%", "x%fy"}));
}

TEST(AutostartEntryTest, ReadsNameProgramAndWhetherItIsOn) {
    test::TempHome home;
    const struct {
        const char* text;
        AutostartEntry entry;
    } cases[] = {
        {"[Desktop Entry]\nName=Sync\nExec=/opt/sync\n", {"Sync", "/opt/sync", true}},
        {"[Desktop Entry]\nExec=\"/opt/a\\\\\"b\" %U\n", {"", "/opt/a\"b", true}},
        {"[Desktop Entry]\nHidden=true\nExec=a\n", {"", "a", false}},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", {"", std::nullopt, false}},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\r\n", {"", std::nullopt, true}},
        {"[Desktop Action x]\nExec=/other\n[Desktop Entry]\nExec=/mine\n", {"", "/mine", true}},
        {"", {"", std::nullopt, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readAutostartEntry(home.text("entry.desktop", c.text)), c.entry) << c.text;
}

TEST(AutostartEntryTest, ReadsOnlyRegularFiles) {
    test::TempHome home;
    home.text("a.desktop", "[Desktop Entry]\nName=A\n");
    home.dir("dir.desktop");
    ASSERT_EQ(mkfifo(home.path("pipe.desktop").c_str(), 0644), 0);
    EXPECT_EQ(readAutostartEntry(home.path("a.desktop"))->name, "A");
    EXPECT_FALSE(readAutostartEntry(home.path("dir.desktop")));
    EXPECT_FALSE(readAutostartEntry(home.path("pipe.desktop")));
    EXPECT_FALSE(readAutostartEntry(home.path("missing.desktop")));
}

} // namespace
} // namespace tidra::sys
