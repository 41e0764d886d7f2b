#include "apps/PrivilegedTrash.h"

#include "platform/Trash.h"
#include "support/FakeTool.h"
#include "support/FileProbe.h"
#include "support/MountNamespace.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

class PrivilegedTrashTest : public ::testing::Test {
protected:
    PrivilegedTrashTest() {
        home.text("Applications/A.app/Contents/Info.plist", "<plist/>");
        home.text("Applications/B.app/Contents/Info.plist", "<plist/>");
        home.dir("bin");
    }
    std::string app(const std::string& name) const { return home.path("Applications/" + name); }
    std::string trash(const std::string& relative) const { return home.path(".local/share/Trash/" + relative); }

    test::TempHome home;
};

// pkexec stood in for by a script that runs the command as the test's own user.
TEST_F(PrivilegedTrashTest, MovesBundlesWithOurRecordsOneRunForFreeNames) {
    home.dir(".local/share/Trash/files/B.app");
    home.text(".local/share/Trash/info/B.app.trashinfo", "older");
    const std::string log = home.path("bin/calls");
    const std::string pkexec = home.text("bin/pkexec", "#!/bin/sh\necho \"$*\" >> '" + log + "'\nexec \"$@\"\n");
    home.chmod("bin/pkexec", 0755);

    EXPECT_EQ(PrivilegedTrash::move({app("A.app"), app("B.app")}, home.root(), Shell::run, pkexec), std::nullopt);
    EXPECT_EQ(test::readFile(log), "/usr/bin/mv -n -t " + trash("files") + " -- " + app("A.app") + "\n" +
                                       "/usr/bin/mv -n -T -- " + app("B.app") + " " + trash("files/B.app.2") + "\n");
    EXPECT_FALSE(test::exists(app("A.app")));
    EXPECT_TRUE(test::exists(trash("files/A.app/Contents/Info.plist")));
    EXPECT_TRUE(test::exists(trash("files/B.app.2/Contents/Info.plist")));
    const std::string record = test::readFile(trash("info/A.app.trashinfo"));
    EXPECT_TRUE(record.starts_with("[Trash Info]\nPath=" + sys::Trash::encodePath(app("A.app")) + "\nDeletionDate="))
        << record;
    EXPECT_EQ(test::readFile(trash("info/B.app.trashinfo")), "older");
    EXPECT_TRUE(test::exists(trash("info/B.app.2.trashinfo")));
}

TEST_F(PrivilegedTrashTest, FailedRunsGiveTheirReasonAndLeaveNoRecords) {
    struct Row {
        const char* name;
        test::FakeTool::Answer answer;
        std::string reason;
    };
    const Row rows[] = {
        {"prompt dismissed", {"", "", 126}, "The password prompt was cancelled."},
        {"not authorised",
         {"", "Error executing command as another user: Not authorized\n", 127},
         "Error executing command as another user: Not authorized"},
        {"silent failure", {"", " \n", 1}, "exit code 1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::FakeTool pkexec(home.path(std::string("bin/") + row.name), row.answer);
        EXPECT_EQ(PrivilegedTrash::move({app("A.app"), app("B.app")}, home.root(), Shell::run, pkexec.path()),
                  row.reason);
        // The first failed run ends the call: no second prompt after a refusal.
        EXPECT_EQ(pkexec.calls().size(), 1u);
        EXPECT_TRUE(test::names(trash("info")).empty());
        EXPECT_TRUE(test::exists(app("A.app")));
    }
    EXPECT_EQ(PrivilegedTrash::move({app("A.app")}, home.root(), Shell::run, home.path("bin/missing")),
              "pkexec could not be started");
    EXPECT_TRUE(test::names(trash("info")).empty());
}

TEST_F(PrivilegedTrashTest, ABundleOnAnotherMountOfTheSameDiskIsLeftInPlace) {
    home.dir("Bound");
    test::FakeTool pkexec(home.path("bin/pkexec"), {});
    const auto answer = test::runInMountNamespace([&] {
        // Same device number as the Trash, yet mv could only copy it there.
        if (::mount(home.path("Applications").c_str(), home.path("Bound").c_str(), nullptr, MS_BIND, nullptr) != 0)
            return std::string("no mount");
        return PrivilegedTrash::move({home.path("Bound/A.app")}, home.root(), Shell::run, pkexec.path())
            .value_or("moved");
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    EXPECT_EQ(*answer, "is on another volume than the Trash");
    EXPECT_TRUE(pkexec.calls().empty());
    EXPECT_TRUE(test::exists(app("A.app/Contents/Info.plist")));
    EXPECT_TRUE(test::names(trash("info")).empty());
}

TEST_F(PrivilegedTrashTest, NothingToMoveRunsNothing) {
    test::FakeTool pkexec(home.path("bin/pkexec"), {});
    EXPECT_EQ(PrivilegedTrash::move({app("Gone.app")}, home.root(), Shell::run, pkexec.path()), std::nullopt);
    EXPECT_TRUE(pkexec.calls().empty());
}

} // namespace
} // namespace tidra
