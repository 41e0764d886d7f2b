#include "cleanup/CleanReport.h"
#include "cleanup/CleanupAction.h"
#include "cleanup/CleanupCategory.h"
#include "cleanup/CleanupItem.h"
#include "cleanup/Safety.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;

TEST(CleanupCategoryTest, RawValuesTitlesAndSymbolsInDisplayOrder) {
    struct Row {
        const char* raw;
        const char* title;
        const char* symbol;
    };
    const Row expected[] = {
        {"xcode", "Xcode", "hammer"},
        {"android", "Android", "iphone.gen2"},
        {"javascript", "JavaScript", "curlybraces"},
        {"flutter", "Flutter and Dart", "bird"},
        {"docker", "Docker", "shippingbox"},
        {"developerTools", "Other developer tools", "wrench.and.screwdriver"},
        {"apps", "Apps", "square.stack.3d.up"},
        {"personalData", "Backups and attachments", "externaldrive"},
        {"leftovers", "Leftovers from removed apps", "archivebox"},
        {"downloads", "Installers in Downloads", "arrow.down.circle"},
        {"trash", "Trash", "trash"},
    };
    const auto all = allCleanupCategories();
    ASSERT_EQ(all.size(), std::size(expected));
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(expected[i].raw);
        EXPECT_EQ(static_cast<std::size_t>(all[i]), i);
        EXPECT_EQ(rawValue(all[i]), expected[i].raw);
        EXPECT_EQ(title(all[i]), expected[i].title);
        EXPECT_EQ(symbol(all[i]), expected[i].symbol);
        EXPECT_EQ(cleanupCategoryFromRawValue(expected[i].raw), all[i]);
    }
}

TEST(CleanupCategoryTest, RawValueMatchIsExact) {
    for (const char* raw : {"Xcode", "XCODE", "xcode ", "", "developertools", "other"})
        EXPECT_FALSE(cleanupCategoryFromRawValue(raw).has_value()) << raw;
}

TEST(SafetyTest, RawValues) {
    EXPECT_EQ(rawValue(Safety::safe), "safe");
    EXPECT_EQ(rawValue(Safety::review), "review");
    EXPECT_EQ(safetyFromRawValue("safe"), Safety::safe);
    EXPECT_EQ(safetyFromRawValue("review"), Safety::review);
    EXPECT_FALSE(safetyFromRawValue("Safe").has_value());
    EXPECT_FALSE(safetyFromRawValue("").has_value());
}

TEST(CleanupActionTest, PathsAndPermanence) {
    struct Row {
        const char* name;
        CleanupAction action;
        Paths paths;
        bool permanent;
    };
    const Row rows[] = {
        {"delete", CleanupAction::Delete{{"/h/a", "/h/b"}}, {"/h/a", "/h/b"}, true},
        {"deleteContents", CleanupAction::DeleteContents{{"/h/c"}}, {"/h/c"}, true},
        {"trash", CleanupAction::Trash{{"/h/t"}}, {"/h/t"}, false},
        {"run", CleanupAction::Run{"/usr/bin/tool", {"prune"}, {"/h/x", "/h/y"}}, {"/h/x", "/h/y"}, true},
        {"run without affects", CleanupAction::Run{"/usr/bin/tool", {"prune"}, {}}, {}, true},
        {"removeWorktree", CleanupAction::RemoveWorktree{"/h/repo", "/h/wt", {"/h/wt/node_modules", "/h/wt/.env"}},
         {"/h/wt"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.action.paths(), row.paths);
        EXPECT_EQ(row.action.isPermanent(), row.permanent);
    }
}

TEST(CleanupActionTest, EqualityIsCaseAndPayloadInOrder) {
    const CleanupAction a = CleanupAction::Delete{{"/h/a", "/h/b"}};
    EXPECT_EQ(a, CleanupAction(CleanupAction::Delete{{"/h/a", "/h/b"}}));
    EXPECT_NE(a, CleanupAction(CleanupAction::Delete{{"/h/b", "/h/a"}}));
    EXPECT_NE(a, CleanupAction(CleanupAction::DeleteContents{{"/h/a", "/h/b"}}));
    EXPECT_NE(a, CleanupAction(CleanupAction::Trash{{"/h/a", "/h/b"}}));
    const CleanupAction run = CleanupAction::Run{"/t", {"x"}, {"/h/a"}};
    EXPECT_NE(run, CleanupAction(CleanupAction::Run{"/t", {"y"}, {"/h/a"}}));
    EXPECT_NE(run, CleanupAction(CleanupAction::Run{"/t", {"x"}, {}}));
    const CleanupAction wt = CleanupAction::RemoveWorktree{"/r", "/w", {"/w/a"}};
    EXPECT_EQ(wt, CleanupAction(CleanupAction::RemoveWorktree{"/r", "/w", {"/w/a"}}));
    EXPECT_NE(wt, CleanupAction(CleanupAction::RemoveWorktree{"/r", "/w", {}}));
}

TEST(CleanReportTest, EmptyReportAndFailureEquality) {
    const CleanReport report;
    EXPECT_EQ(report.removed, 0);
    EXPECT_TRUE(report.failures.empty());
    using Failure = CleanReport::Failure;
    EXPECT_EQ((Failure{"/h/a", "is a symbolic link"}), (Failure{"/h/a", "is a symbolic link"}));
    EXPECT_NE((Failure{"/h/a", "is a symbolic link"}), (Failure{"/h/a", "outside the home folder"}));
    EXPECT_NE((Failure{"/h/a", "x"}), (Failure{"/h/b", "x"}));
}

TEST(CleanupItemTest, MemberwiseValues) {
    const CleanupItem item{"xcode.derivedData", "Derived data", CleanupCategory::xcode,
                           "Xcode rebuilds it.", Safety::safe,
                           CleanupAction::DeleteContents{{"/h/Library/Developer/Xcode/DerivedData"}},
                           false, 1, std::nullopt};
    EXPECT_EQ(item.action.paths(), Paths{"/h/Library/Developer/Xcode/DerivedData"});
    EXPECT_FALSE(item.knownBytes.has_value());
    CleanupItem other = item;
    EXPECT_EQ(item, other);
    other.knownBytes = 0;
    EXPECT_NE(item, other);
}

} // namespace
} // namespace tidra
