#include "cleanup/CleanupHistory.h"
#include "cleanup/CleanupRecordJson.h"

#include "platform/FileStore.h"
#include "support/FileProbe.h"
#include "support/ForkedChild.h"
#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace tidra {
namespace {

using namespace std::chrono;
using Json = nlohmann::json;

system_clock::time_point at(seconds since) { return system_clock::time_point(since); }

CleanupRecord record(std::int64_t n, std::int64_t freed = 1000, std::vector<std::string> items = {"Caches"}) {
    return {at(seconds(1'700'000'000 + n)), "Cleanup", freed, std::move(items), 0};
}

std::string contents(const std::string& path) { return sys::FileStore::read(path).data; }

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

Json recordsJson(int count) {
    Json array = Json::array();
    for (int i = count - 1; i >= 0; --i) array.push_back(CleanupRecordJson::encode(record(i)));
    return array;
}

class CleanupHistoryTest : public ::testing::Test {
protected:
    test::TempHome home;
    CleanupHistory history{home.root()};
    std::string folder() const { return home.path(".local/share/Tidra"); }
    void writeFile(const std::string& text) { home.text(".local/share/Tidra/history.json", text); }
};

TEST_F(CleanupHistoryTest, FileLivesInTheAppDataFolderOfTheHome) {
    EXPECT_EQ(CleanupHistory("/home/ann").file, "/home/ann/.local/share/Tidra/history.json");
    EXPECT_TRUE(history.load().empty());
    EXPECT_EQ(history.totalFreed(), 0);
}

TEST_F(CleanupHistoryTest, WritesSortedKeysWholeSecondUtcDatesNewestFirst) {
    const CleanupRecord older{at(seconds(1'709'647'629)) + milliseconds(750), "Duplicates", 5'000'000,
                              {"a.jpg", "b.jpg"}, 2};
    const CleanupRecord newer{at(seconds(1'709'651'229)), "Projects", 42, {}, 0};
    ASSERT_EQ(history.append(older), std::nullopt);
    ASSERT_EQ(history.append(newer), std::nullopt);

    const std::string text = contents(history.file);
    const Json expected = Json::parse(R"([
        {"date": "2024-03-05T15:07:09Z", "failures": 0, "freedBytes": 42, "items": [], "source": "Projects"},
        {"date": "2024-03-05T14:07:09Z", "failures": 2, "freedBytes": 5000000, "items": ["a.jpg", "b.jpg"],
         "source": "Duplicates"}])");
    EXPECT_EQ(Json::parse(text), expected);
    // Pretty-printed, one member per line, members in sorted order.
    const auto position = [&](const char* key) { return text.find(std::string("\"") + key + "\""); };
    EXPECT_LT(position("date"), position("failures"));
    EXPECT_LT(position("failures"), position("freedBytes"));
    EXPECT_LT(position("freedBytes"), position("items"));
    EXPECT_LT(position("items"), position("source"));
    EXPECT_NE(text.find("\n    \"date\": \"2024-03-05T15:07:09Z\",\n"), std::string::npos) << text;

    CleanupRecord olderWhole = older;
    olderWhole.date = floor<seconds>(older.date);
    EXPECT_EQ(history.load(), (std::vector<CleanupRecord>{newer, olderWhole}));
    EXPECT_EQ(history.totalFreed(), 5'000'042);
    // Only the history and its lock file remain: no temporary files left behind.
    EXPECT_EQ(folderNames(folder()), (std::vector<std::string>{"history.json", "history.json.lock"}));
}

TEST_F(CleanupHistoryTest, RecordsOnlyWhatFreedBytesOrNamesItems) {
    struct Row {
        std::int64_t freed;
        std::vector<std::string> items;
        bool recorded;
    };
    const Row rows[] = {{0, {}, false}, {-5, {}, false}, {0, {"Trash"}, true}, {1, {}, true}};
    for (const auto& row : rows) {
        test::TempHome fresh;
        const CleanupHistory h(fresh.root());
        EXPECT_EQ(h.append(record(0, row.freed, row.items)), std::nullopt);
        EXPECT_EQ(h.load().size(), row.recorded ? 1u : 0u) << row.freed;
        // A skipped record must not even create the folder.
        EXPECT_EQ(std::filesystem::exists(fresh.path(".local")), row.recorded) << row.freed;
    }
}

TEST_F(CleanupHistoryTest, KeepsTheNewestFiveHundred) {
    writeFile(recordsJson(500).dump());
    ASSERT_EQ(history.append(record(500)), std::nullopt);
    const auto records = history.load();
    ASSERT_EQ(records.size(), 500u);
    EXPECT_EQ(records.front(), record(500));
    EXPECT_EQ(records[1], record(499));
    EXPECT_EQ(records.back(), record(1));
}

TEST_F(CleanupHistoryTest, RecordsThatDoNotDecodeAreSkippedAndKept) {
    const Json good = CleanupRecordJson::encode(record(1));
    const auto without = [&](const char* key) { Json j = good; j.erase(key); return j; };
    const auto with = [&](const char* key, Json value) { Json j = good; j[key] = std::move(value); return j; };
    const Json bad[] = {
        without("date"), without("source"), without("freedBytes"), without("items"), without("failures"),
        with("date", "2023-11-14T22:13:21.500Z"), with("date", "2023-11-14T22:13:21+01:00"), with("date", 17),
        with("freedBytes", 1.5), with("freedBytes", "12"), with("freedBytes", 18446744073709551615u),
        with("failures", nullptr), with("items", Json::array({1})), with("items", "a"), with("source", false),
        Json::array(), Json("text"),
    };
    for (const auto& element : bad) {
        SCOPED_TRACE(element.dump());
        test::TempHome fresh;
        const CleanupHistory h(fresh.root());
        const Json file = Json::array({CleanupRecordJson::encode(record(2)), element, good});
        fresh.text(".local/share/Tidra/history.json", file.dump());
        EXPECT_EQ(h.load(), (std::vector<CleanupRecord>{record(2), record(1)}));

        ASSERT_EQ(h.append(record(3)), std::nullopt);
        // The undecodable record stays in the file for a reader that may understand it.
        const Json after = Json::parse(contents(h.file));
        ASSERT_EQ(after.size(), 4u);
        EXPECT_EQ(after[2], element);
        EXPECT_EQ(h.load(), (std::vector<CleanupRecord>{record(3), record(2), record(1)}));
    }
}

TEST_F(CleanupHistoryTest, ExtraKeysAreIgnored) {
    Json element = CleanupRecordJson::encode(record(1));
    element["note"] = "from a later version";
    writeFile(Json::array({element}).dump());
    EXPECT_EQ(history.load(), (std::vector<CleanupRecord>{record(1)}));
}

// Moves to the Trash count when made; erasing those same entries from the Trash adds nothing.
// A record from before these keys reads as it always did.
TEST_F(CleanupHistoryTest, TotalCountsEachByteOnce) {
    auto moved = record(1, 1'410'000'000, {"video.mkv"});
    moved.source = "Large Files";
    moved.trashedBytes = 1'410'000'000;
    moved.trashedFiles = {{2049, 77}, {2049, 78}};
    auto emptied = record(2, 1'500'000'000, {"Everything in the Trash"});
    emptied.recountedBytes = 1'410'000'000;
    ASSERT_EQ(history.append(moved), std::nullopt);
    ASSERT_EQ(history.append(emptied), std::nullopt);
    writeFile(Json::array({CleanupRecordJson::encode(emptied), CleanupRecordJson::encode(moved),
                           Json::parse(R"({"date":"2024-03-05T14:07:09Z","failures":0,"freedBytes":3000000000,)"
                                       R"("items":["npm cache"],"source":"Cleanup"})")})
                  .dump());
    const auto records = history.load();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], emptied);
    EXPECT_EQ(records[1], moved);
    EXPECT_EQ(records[2].trashedBytes, 0);
    EXPECT_EQ(history.totalFreed(), 1'410'000'000 + 90'000'000 + 3'000'000'000);
    EXPECT_EQ(CleanupHistory::totalOf(records), history.totalFreed());
    // Plain records keep exactly the five keys older versions read.
    EXPECT_EQ(CleanupRecordJson::encode(record(3)).size(), 5u);
}

// A removal recorded as each item finishes stays one record, the latest.
TEST_F(CleanupHistoryTest, ARunIsOneRecordThatGrows) {
    auto first = record(1, 1000, {"npm cache"});
    first.run = "run-1";
    auto other = record(2, 50, {"Logs"});
    auto grown = record(3, 3000, {"npm cache", "pip cache"});
    grown.run = "run-1";
    for (const auto& each : {first, other, grown}) ASSERT_EQ(history.append(each), std::nullopt);
    EXPECT_EQ(history.load(), (std::vector<CleanupRecord>{grown, other}));
}

TEST_F(CleanupHistoryTest, TotalFreedHoldsAtTheLimitInsteadOfWrapping) {
    const auto huge = record(1, INT64_MAX);
    writeFile(Json::array({CleanupRecordJson::encode(huge), CleanupRecordJson::encode(huge)}).dump());
    EXPECT_EQ(history.totalFreed(), INT64_MAX);
}

TEST_F(CleanupHistoryTest, AFileThatDoesNotParseIsKeptAsideBeforeANewOneIsWritten) {
    const std::string texts[] = {"", "garbage", R"({"date": "2024-01-01T00:00:00Z"})", "[{\"a\": 1}",
                                 "[\"bad \xff byte\"]"};
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        test::TempHome fresh;
        CleanupHistory h(fresh.root());
        h.now = [] { return at(seconds(1'709'647'629)); };
        fresh.text(".local/share/Tidra/history.json", text);
        EXPECT_TRUE(h.load().empty());

        ASSERT_EQ(h.append(record(1)), std::nullopt);
        EXPECT_EQ(h.load(), (std::vector<CleanupRecord>{record(1)}));
        EXPECT_EQ(contents(h.file + ".corrupt-20240305T140709Z"), text);
    }
}

// What load() and append() make of the history file, in a child that a hang or a crash cannot
// take down with the test: "<records loaded>|<append failure or ok>|<records after>", then
// whether the old file was kept aside and the new one is small.
std::string loadAndAppendInChild(const CleanupHistory& h) {
    return test::runInChild([&] {
        ::alarm(60);
        const std::size_t before = h.load().size();
        const auto failure = h.append(record(1));
        std::string out = std::to_string(before) + "|" + failure.value_or("ok") + "|" + std::to_string(h.load().size());
        out += test::exists(h.file + ".corrupt-20240305T140709Z") ? "|aside" : "|not aside";
        out += contents(h.file).size() < 1000 ? "|small" : "|large";
        return out;
    });
}

TEST_F(CleanupHistoryTest, SpecialFilesAndDeepNestingAreKeptAsideNotRead) {
    const std::string deep = "[" + std::string(100'000, '[') + std::string(100'000, ']') + "]";
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
    } rows[] = {
        // Would block the reader (and the lock) for good.
        {"fifo", [](const std::string& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
        // Would be read without end.
        {"device", [](const std::string& file) { ASSERT_EQ(::symlink("/dev/zero", file.c_str()), 0); }},
        // Would be written back recursively, level by level.
        {"deep", [&](const std::string& file) { ASSERT_FALSE(sys::FileStore::writeAtomically(file, deep)); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempHome fresh;
        CleanupHistory h(fresh.root());
        h.now = [] { return at(seconds(1'709'647'629)); };
        fresh.dir(".local/share/Tidra");
        row.make(h.file);
        EXPECT_EQ(loadAndAppendInChild(h), "0|ok|1|aside|small");
    }
}

TEST_F(CleanupHistoryTest, AFullDiskNeverLeavesTheHistoryWithoutAFile) {
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.dir(".local/share/Tidra"))) return std::string("no mount");
        writeFile("garbage");
        const int filler = ::open(home.path(".local/share/Tidra/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(1 << 16, 'x');
        while (::write(filler, block.data(), block.size()) > 0) {}
        ::close(filler);
        std::string out = history.append(record(1)) ? "failed|" : "ok|";
        out += contents(history.file);
        for (const auto& name : folderNames(folder())) out.append("|").append(name);
        return out;
    });
    if (!answer) GTEST_SKIP() << test::kNoMountNamespace;
    // Nothing moved aside, no temporary file left.
    EXPECT_EQ(*answer, "failed|garbage|filler|history.json|history.json.lock");
}

TEST_F(CleanupHistoryTest, AsideNamesNeverReplaceAnEarlierCopy) {
    history.now = [] { return at(seconds(1'709'647'629)); };
    const std::string aside = history.file + ".corrupt-20240305T140709Z";
    writeFile("first");
    ASSERT_EQ(history.append(record(1)), std::nullopt);
    writeFile("second");
    ASSERT_EQ(history.append(record(2)), std::nullopt);
    EXPECT_EQ(contents(aside), "first");
    EXPECT_EQ(contents(aside + "-1"), "second");
    EXPECT_EQ(history.load(), (std::vector<CleanupRecord>{record(2)}));
}

TEST_F(CleanupHistoryTest, InvalidUtf8TitlesAreWrittenWithReplacementCharacters) {
    ASSERT_EQ(history.append(record(1, 10, {"photo-\xff\xfe.jpg", "ok"})), std::nullopt);
    const auto records = history.load();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].items, (std::vector<std::string>{"photo-\xEF\xBF\xBD\xEF\xBF\xBD.jpg", "ok"}));
}

TEST_F(CleanupHistoryTest, FailuresAreReportedAndLeaveTheFileAlone) {
    // Run as nobody: root could write anywhere.
    home.dir(".local/share/Tidra", 0777);
    writeFile(recordsJson(1).dump());
    home.text("locked/.local/share/Tidra/history.json", "garbage");
    home.chmod("locked/.local/share/Tidra", 0555);
    home.text("unreadable/.local/share/Tidra/history.json", "kept");
    home.chmod("unreadable/.local/share/Tidra/history.json", 0000);
    home.chmod("unreadable/.local/share/Tidra", 0777);
    const std::string answer = test::runAsNobody([&] {
        std::string out;
        for (const char* sub : {"", "/locked", "/missing-parent-is-read-only"}) {
            const auto failure = CleanupHistory(home.root() + sub).append(record(9));
            out += std::string(sub) + "=" + (failure ? "failed" : "ok") + ";";
        }
        const CleanupHistory unreadable(home.path("unreadable"));
        out += std::string("unreadable=") + (unreadable.append(record(9)) ? "failed" : "ok");
        out += unreadable.load().size() == 1 ? ",1" : ",?";
        return out;
    });
    EXPECT_EQ(answer, "=ok;/locked=failed;/missing-parent-is-read-only=failed;unreadable=ok,1");
    EXPECT_EQ(contents(home.path("locked/.local/share/Tidra/history.json")), "garbage");
    EXPECT_EQ(history.load().size(), 2u);
    // The unreadable file was moved aside, not replaced.
    const auto names = folderNames(home.path("unreadable/.local/share/Tidra"));
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](auto& n) { return n.starts_with("history.json.corrupt-"); }), 1);
}

TEST_F(CleanupHistoryTest, ConcurrentAppendsFromTwoProcessesKeepEveryRecord) {
    constexpr int perProcess = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            const CleanupHistory h(home.root());
            bool ok = true;
            for (int i = 0; i < perProcess; ++i) ok = !h.append(record(c * 1000 + i)) && ok;
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto records = history.load();
    ASSERT_EQ(records.size(), 2u * perProcess);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < perProcess; ++i)
            EXPECT_NE(std::find(records.begin(), records.end(), record(c * 1000 + i)), records.end()) << c << "/" << i;
}

TEST(CleanupRecordJsonTest, DateForms) {
    struct Row {
        const char* text;
        std::optional<std::int64_t> seconds;
    };
    const Row rows[] = {
        {"2024-03-05T14:07:09Z", 1'709'647'629}, {"1970-01-01T00:00:00Z", 0}, {"1969-12-31T23:59:59Z", -1},
        {"2024-02-29T00:00:00Z", 1'709'164'800}, {"2262-04-11T23:47:16Z", 9'223'372'036}, {"1677-09-21T00:12:44Z", -9'223'372'036},
        {"2262-04-11T23:47:17Z", {}}, {"1677-09-21T00:12:43Z", {}}, {"9999-12-31T23:59:59Z", {}},
        {"2023-02-29T00:00:00Z", {}}, {"2024-03-05T24:00:00Z", {}}, {"2024-03-05T14:60:09Z", {}},
        {"2024-13-05T14:07:09Z", {}}, {"2024-03-05T14:07:09.000Z", {}}, {"2024-03-05T14:07:09z", {}},
        {"2024-03-05 14:07:09Z", {}}, {"2024-03-05T14:07:09+00:00", {}}, {"+024-03-05T14:07:09Z", {}},
        {"-024-03-05T14:07:09Z", {}}, {"0000-01-01T00:00:00Z", {}}, {"", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto parsed = CleanupRecordJson::parseDate(row.text);
        ASSERT_EQ(parsed.has_value(), row.seconds.has_value());
        if (!parsed) continue;
        EXPECT_EQ(*parsed, at(seconds(*row.seconds)));
        EXPECT_EQ(CleanupRecordJson::formatDate(*parsed), row.text);
    }
    // Fractions are cut, before 1970 as after.
    EXPECT_EQ(CleanupRecordJson::formatDate(at(seconds(-1)) + milliseconds(999)), "1969-12-31T23:59:59Z");
    EXPECT_EQ(CleanupRecordJson::formatDate(at(seconds(0)) - milliseconds(1)), "1969-12-31T23:59:59Z");
}

} // namespace
} // namespace tidra
