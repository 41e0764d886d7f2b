#include "apps/AppRemover.h"

#include "support/FileProbe.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>

namespace tidra {
namespace {

using Failure = CleanReport::Failure;
using Paths = std::vector<std::string>;

class AppRemoverTest : public ::testing::Test {
protected:
    std::string bundle(const std::string& name) {
        home.text("Applications/" + name + "/Contents/Info.plist", "<plist/>");
        return home.path("Applications/" + name);
    }
    PathGuard guard() const { return PathGuard(home.root(), home.path("System Applications"), ""); }

    // A trash that answers per bundle name and removes what it reports moved.
    AppRemover::TrashMove fakeTrash(std::map<std::string, sys::Outcome> answers) {
        return [this, answers](const std::string& path) {
            trashed.push_back(path);
            const auto it = answers.find(path.substr(path.rfind('/') + 1));
            if (it != answers.end()) return it->second;
            std::filesystem::remove_all(path);
            return sys::Outcome::done();
        };
    }
    // A finder that moves away the bundles named in `moves` and answers `reason`.
    AppRemover::AdminMove fakeFinder(Paths moves, std::optional<std::string> reason = std::nullopt) {
        return [this, moves, reason](const Paths& paths) {
            finderCalls.push_back(paths);
            for (const auto& name : moves) std::filesystem::remove_all(home.path("Applications/" + name));
            return reason;
        };
    }

    test::TempHome home;
    Paths trashed;
    std::vector<Paths> finderCalls;
};

TEST_F(AppRemoverTest, EmptyListCallsNothing) {
    const AppRemover remover(guard(), fakeTrash({}), fakeFinder({}));
    EXPECT_EQ(remover.remove({}), CleanReport());
    EXPECT_TRUE(trashed.empty());
    EXPECT_TRUE(finderCalls.empty());
}

TEST_F(AppRemoverTest, RefusedFailedAndPermissionCasesEachTakeTheirRoad) {
    const std::string ok = bundle("Ok.app"), denied = bundle("Denied.app"), notPermitted = bundle("Vendor/Np.app"),
                      broken = bundle("Broken.app"), stuck = bundle("Stuck.app");
    const std::string refused = home.dir("Documents/Fake.app");
    const AppRemover remover(guard(),
                             fakeTrash({{"Denied.app", sys::Outcome::failedWith(EACCES)},
                                        {"Np.app", sys::Outcome::failedWith(EPERM)},
                                        {"Broken.app", sys::Outcome::failed("Input/output error")},
                                        {"Stuck.app", sys::Outcome::failedWith(EACCES)}}),
                             fakeFinder({"Denied.app", "Vendor/Np.app"}));
    const auto report = remover.remove({refused, ok, denied, broken, notPermitted, stuck});
    EXPECT_EQ(trashed, (Paths{ok, denied, broken, notPermitted, stuck}));
    EXPECT_EQ(finderCalls, (std::vector<Paths>{{denied, notPermitted, stuck}}));
    EXPECT_EQ(report.removed, 3);
    EXPECT_EQ(report.failures, (std::vector<Failure>{{refused, "not in an Applications folder"},
                                                     {broken, "Input/output error"},
                                                     {stuck, "the file manager did not move it to the Trash"}}));
}

// Two removals of one app, from two Tidras: the one whose move found it gone took nothing.
TEST_F(AppRemoverTest, ABundleAnotherRemovalTookFirstIsNotCountedAsRemoved) {
    const std::string taken = bundle("Taken.app");
    const AppRemover remover(guard(), fakeTrash({{"Taken.app", sys::Outcome::missing()}}), fakeFinder({}));
    EXPECT_EQ(remover.remove({taken}), (CleanReport{0, {{taken, "not there any more"}}}));
}

TEST_F(AppRemoverTest, FinderReasonGoesToTheBundlesStillThere) {
    const std::string gone = bundle("Gone.app"), kept = bundle("Kept.app");
    const AppRemover remover(guard(),
                             fakeTrash({{"Gone.app", sys::Outcome::failedWith(EACCES)},
                                        {"Kept.app", sys::Outcome::failedWith(EACCES)}}),
                             fakeFinder({"Gone.app"}, "The password prompt was cancelled."));
    const auto report = remover.remove({gone, kept});
    EXPECT_EQ(report.removed, 1);
    EXPECT_EQ(report.failures, (std::vector<Failure>{{kept, "The password prompt was cancelled."}}));
}

TEST_F(AppRemoverTest, MovesTheJudgedPathNotTheGivenSpelling) {
    bundle("Tool.app");
    const AppRemover remover(guard(), fakeTrash({}), fakeFinder({}));
    const auto report = remover.remove({home.path("Applications/./Vendor/../Tool.app/")});
    EXPECT_EQ(report, (CleanReport{1, {}}));
    EXPECT_EQ(trashed, Paths{home.path("Applications/Tool.app")});
}

// A bundle that cannot be looked at after the fallback is not known to be gone: it must not
// count as removed.
TEST_F(AppRemoverTest, BundleThatCannotBeCheckedAfterTheFallbackIsAFailure) {
    home.dir("Applications", 0755);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(home.path("Applications").c_str(), 65534, 65534), 0);
    }
    const std::string answer = test::runAsNobody([&] {
        const std::string app = bundle("Hidden.app");
        const AppRemover remover(guard(), [](const std::string&) { return sys::Outcome::failedWith(EACCES); },
                                 [&](const Paths&) {
                                     ::chmod(home.path("Applications").c_str(), 0);
                                     return std::optional<std::string>();
                                 });
        const auto report = remover.remove({app});
        ::chmod(home.path("Applications").c_str(), 0755);
        if (report.failures.size() != 1) return "removed " + std::to_string(report.removed);
        return std::to_string(report.removed) + ":" + report.failures[0].reason;
    });
    EXPECT_EQ(answer, "0:" + sys::Outcome::errorText(EACCES));
}

TEST_F(AppRemoverTest, DefaultTrashMovesIntoTheHomeTrash) {
    const std::string app = bundle("Real.app");
    const auto report = AppRemover(guard()).remove({app});
    EXPECT_EQ(report, (CleanReport{1, {}}));
    EXPECT_FALSE(test::exists(app));
    EXPECT_TRUE(test::exists(home.path(".local/share/Trash/files/Real.app/Contents/Info.plist")));
    EXPECT_TRUE(test::exists(home.path(".local/share/Trash/info/Real.app.trashinfo")));
}

TEST(AppRemoverPermissionTest, OnlyRefusedRightsArePermissionErrors) {
    EXPECT_TRUE(AppRemover::isPermissionError(sys::Outcome::failedWith(EACCES)));
    EXPECT_TRUE(AppRemover::isPermissionError(sys::Outcome::failedWith(EPERM)));
    EXPECT_FALSE(AppRemover::isPermissionError(sys::Outcome::failedWith(EIO)));
    EXPECT_FALSE(AppRemover::isPermissionError(sys::Outcome::failed("the Trash cannot be made (Permission denied)")));
    EXPECT_FALSE(AppRemover::isPermissionError(sys::Outcome::done()));
    EXPECT_FALSE(AppRemover::isPermissionError(sys::Outcome::missing()));
}

} // namespace
} // namespace tidra
