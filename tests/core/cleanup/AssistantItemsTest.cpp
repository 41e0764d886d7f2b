#include "cleanup/AssistantItems.h"

#include "support/CatalogFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using Paths = std::vector<std::string>;
using namespace std::chrono;

const system_clock::time_point now = system_clock::from_time_t(1'750'000'000);
const auto thirtyDays = seconds(2'592'000);
const std::string chromeModel = "Library/Application Support/Google/Chrome/OptGuideOnDeviceModel";

std::vector<CleanupItem> runAssistants(const std::string& home) {
    return test::runStep([](CleanupCatalog::Builder& b) { CleanupCatalog::assistantsAt(b, now); },
                         test::quietEnvironment(home))
        .items;
}

TEST(AssistantItemsTest, TranscriptsOlderThanThirtyDaysWithTheirFolders) {
    test::TempHome home;
    const std::string project = ".claude/projects/-home-me-app";
    home.file(project + "/a.jsonl", 10);
    home.dir(project + "/a");
    home.file(project + "/b.jsonl", 10);
    home.file(project + "/edge.jsonl", 10);
    home.file(project + "/new.jsonl", 10);
    home.dir(project + "/new");
    home.file(project + "/notes.txt", 10);
    home.file(".claude/projects/-home-me-lib/c.jsonl", 10);
    for (const char* old : {"/a.jsonl", "/b.jsonl", "/notes.txt"})
        home.setModified(project + old, now - thirtyDays - seconds(1));
    home.setModified(".claude/projects/-home-me-lib/c.jsonl", now - days(400));
    home.setModified(project + "/edge.jsonl", now - thirtyDays);
    home.setModified(project + "/new.jsonl", now);

    const auto items = runAssistants(home.root());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (CleanupItem{"claude.sessions", "Claude Code conversations older than a month (3)",
                                     CleanupCategory::apps, "They can no longer be resumed or searched.", Safety::review,
                                     CleanupAction::Delete{{home.path(project + "/a.jsonl"), home.path(project + "/a"),
                                                            home.path(project + "/b.jsonl"),
                                                            home.path(".claude/projects/-home-me-lib/c.jsonl")}},
                                     false, 1, std::nullopt}));
}

TEST(AssistantItemsTest, NoOldTranscriptsStillOffersChromeModel) {
    struct Row {
        const char* name;
        bool recentTranscript;
    };
    for (const Row row : {Row{"no projects folder", false}, Row{"only a recent transcript", true}}) {
        SCOPED_TRACE(row.name);
        test::TempHome home;
        home.dir(chromeModel);
        if (row.recentTranscript) {
            home.file(".claude/projects/p/t.jsonl", 1);
            home.setModified(".claude/projects/p/t.jsonl", now - days(2));
        }
        const auto items = runAssistants(home.root());
        EXPECT_EQ(items, (std::vector<CleanupItem>{
                             {"chrome.onDeviceModel", "Chrome's on-device AI model", CleanupCategory::apps,
                              "Chrome downloads it again unless its on-device AI is turned off in chrome://flags.",
                              Safety::review, CleanupAction::Delete{{home.path(chromeModel)}}, false, 1,
                              std::nullopt}}));
    }
}

} // namespace
} // namespace tidra
