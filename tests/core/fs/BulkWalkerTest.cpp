#include "fs/BulkWalker.h"

#include "support/MountNamespace.h"
#include "support/RunAsNobody.h"
#include "support/TempHome.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <set>

namespace tidra {
namespace {

using test::TempHome;

// What a walk handed over, copied while the visitor ran.
struct Visit {
    std::string path;
    std::int64_t depth;
    std::vector<std::string> names;
    std::vector<std::string> subfolders;  // directory entries, listing order
};

struct Record {
    std::vector<Visit> visits;
    std::vector<std::string> unreadable;
};

Record bulkWalk(const std::string& root, BulkWalker::Fields fields = BulkWalker::Field::allFiles,
            const std::function<bool(BulkFolder&)>& extra = nullptr) {
    Record record;
    BulkWalker::walk(
        root,
        [&](BulkFolder& folder) {
            Visit visit{folder.path, folder.depth, {}, {}};
            for (const auto& entry : folder.entries) {
                visit.names.push_back(entry.name());
                if (entry.kind == BulkEntry::Kind::directory) visit.subfolders.push_back(entry.name());
            }
            record.visits.push_back(visit);
            return extra ? extra(folder) : true;
        },
        [&](const std::string& path) { record.unreadable.push_back(path); }, fields);
    return record;
}

std::vector<std::string> visitedPaths(const Record& record) {
    std::vector<std::string> paths;
    for (const auto& visit : record.visits) paths.push_back(visit.path);
    return paths;
}

// The pre-order the walk promises, rebuilt from the listings it handed over.
void expectedOrder(const std::map<std::string, const Visit*>& byPath, const std::string& path,
                   std::vector<std::string>& out) {
    out.push_back(path);
    const auto found = byPath.find(path);
    if (found == byPath.end()) return;
    for (const auto& name : found->second->subfolders) expectedOrder(byPath, path + "/" + name, out);
}

struct stat lstatOf(const std::string& path) {
    struct stat st{};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

const BulkEntry* findEntry(const BulkFolder& folder, std::string_view name) {
    for (const auto& entry : folder.entries)
        if (entry.isNamed(name)) return &entry;
    return nullptr;
}

TEST(BulkWalkerTest, VisitsFoldersInPreOrderWithSubfoldersInListingOrder) {
    TempHome home;
    for (const char* dir : {"a/x/deep", "a/y", "b", "c/z", "empty"}) home.dir(dir);
    home.file("a/x/deep/f", 10);
    home.file("b/g", 10);
    home.symlink("link", "a");

    const Record record = bulkWalk(home.root());
    std::map<std::string, const Visit*> byPath;
    for (const auto& visit : record.visits) byPath[visit.path] = &visit;
    std::vector<std::string> expected;
    expectedOrder(byPath, home.root(), expected);
    EXPECT_EQ(visitedPaths(record), expected);
    EXPECT_EQ(record.visits.size(), 9u);  // the root and eight folders; the link is not entered
    EXPECT_TRUE(record.unreadable.empty());
    for (const auto& visit : record.visits) {
        const auto depth = std::count(visit.path.begin() + long(home.root().size()), visit.path.end(), '/');
        EXPECT_EQ(visit.depth, depth) << visit.path;
    }
    EXPECT_TRUE(byPath.at(home.path("empty"))->names.empty());
}

TEST(BulkWalkerTest, EntriesCarryKindAndStatusFields) {
    TempHome home;
    home.file("data", 10'000);
    home.hardlink("second", "data");
    home.symlink("link", "data");
    home.dir("folder");
    ASSERT_EQ(::mkfifo(home.path("pipe").c_str(), 0644), 0);
    home.setModified("data", std::chrono::system_clock::time_point(std::chrono::seconds(1'234'567)));

    int visits = 0;
    BulkWalker::walk(
        home.root(),
        [&](BulkFolder& folder) {
            if (folder.depth > 0) return true;
            ++visits;
            EXPECT_EQ(folder.entries.size(), 5u);
            struct Row {
                const char* name;
                BulkEntry::Kind kind;
            };
            for (const Row& row : {Row{"data", BulkEntry::Kind::file}, Row{"second", BulkEntry::Kind::file},
                                   Row{"link", BulkEntry::Kind::symlink}, Row{"folder", BulkEntry::Kind::directory},
                                   Row{"pipe", BulkEntry::Kind::other}}) {
                SCOPED_TRACE(row.name);
                const BulkEntry* entry = findEntry(folder, row.name);
                if (!entry) {
                    ADD_FAILURE() << "entry missing";
                    continue;
                }
                const struct stat st = lstatOf(folder.pathOf(*entry));
                EXPECT_EQ(entry->kind, row.kind);
                EXPECT_EQ(entry->fileID, st.st_ino);
                EXPECT_EQ(entry->cloneID, 0u);
                if (row.kind == BulkEntry::Kind::directory) {
                    EXPECT_EQ(entry->linkCount, 0);
                    EXPECT_EQ(entry->allocatedBytes, 0);
                    continue;
                }
                EXPECT_EQ(entry->device, st.st_dev);
                EXPECT_EQ(entry->linkCount, std::int64_t(st.st_nlink));
                EXPECT_EQ(entry->allocatedBytes, std::int64_t(st.st_blocks) * 512);
                EXPECT_EQ(entry->modified, st.st_mtime);
            }
            const BulkEntry* data = findEntry(folder, "data");
            if (!data) {
                ADD_FAILURE() << "entry missing";
                return false;
            }
            EXPECT_EQ(data->linkCount, 2);
            EXPECT_GE(data->allocatedBytes, 10'000);
            EXPECT_EQ(data->modified, 1'234'567);
            return true;
        },
        nullptr);
    EXPECT_EQ(visits, 1);
}

TEST(BulkWalkerTest, FieldMaskDecidesWhatIsRead) {
    TempHome home;
    home.file("data", 5'000);
    home.dir("folder");
    const struct stat folderStatus = lstatOf(home.path("folder"));

    struct Case {
        BulkWalker::Fields fields;
        bool fileStatus;
        bool folderStatus;
    };
    for (const Case c : {Case{BulkWalker::Field::none, false, false},
                         Case{BulkWalker::Field::folders, false, false},
                         Case{BulkWalker::Field::allocatedBytes, true, false},
                         Case{BulkWalker::Field::allFiles | BulkWalker::Field::folders, true, true}}) {
        SCOPED_TRACE(c.fields);
        BulkWalker::walk(
            home.root(),
            [&](BulkFolder& folder) {
                if (folder.depth > 0) return true;
                const BulkEntry* file = findEntry(folder, "data");
                const BulkEntry* dir = findEntry(folder, "folder");
                if (!file || !dir) {
                    ADD_FAILURE() << "entry missing";
                    return false;
                }
                EXPECT_EQ(file->kind, BulkEntry::Kind::file);
                EXPECT_EQ(dir->kind, BulkEntry::Kind::directory);
                // The listing's inode number is there whatever was asked.
                EXPECT_EQ(dir->fileID, folderStatus.st_ino);
                EXPECT_EQ(file->allocatedBytes > 0, c.fileStatus);
                EXPECT_EQ(file->linkCount == 1, c.fileStatus);
                EXPECT_EQ(dir->modified == folderStatus.st_mtime, c.folderStatus);
                EXPECT_EQ(dir->device == folderStatus.st_dev, c.folderStatus);
                EXPECT_EQ(dir->allocatedBytes, 0);
                return true;
            },
            nullptr, c.fields);
    }
}

TEST(BulkWalkerTest, SkippedSubfolderIsLeftOutAndFalseEndsTheWalk) {
    TempHome home;
    for (const char* dir : {"keep/inner", "prune/inner", "other"}) home.dir(dir);

    const Record pruned = bulkWalk(home.root(), BulkWalker::Field::none, [](BulkFolder& folder) {
        for (std::size_t i = 0; i < folder.entries.size(); ++i)
            if (folder.entries[i].isNamed("prune")) folder.skipped.insert(std::int64_t(i));
        return true;
    });
    const auto paths = visitedPaths(pruned);
    EXPECT_EQ(paths.size(), 4u);  // the root, keep, keep/inner, other
    EXPECT_EQ(std::count(paths.begin(), paths.end(), home.path("prune")), 0);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), home.path("prune/inner")), 0);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), home.path("keep/inner")), 1);

    int visits = 0;
    const Record stopped = bulkWalk(home.root(), BulkWalker::Field::none, [&](BulkFolder&) { return ++visits < 2; });
    EXPECT_EQ(stopped.visits.size(), 2u);
}

TEST(BulkWalkerTest, RootThatIsNoFolderYieldsNothing) {
    TempHome home;
    home.dir("real/inner");
    home.file("file", 1);
    home.symlink("link", "real");
    for (const char* root : {"link", "file", "missing"}) {
        const Record record = bulkWalk(home.path(root));
        EXPECT_TRUE(record.visits.empty()) << root;
        EXPECT_TRUE(record.unreadable.empty()) << root;
    }
}

TEST(BulkWalkerTest, RootOnAnotherVolumeThanAskedYieldsNothing) {
    TempHome home;
    home.dir("inner");
    const auto device = std::uint64_t(lstatOf(home.root()).st_dev);
    int visits = 0;
    BulkWalker::walk(home.root(), [&](BulkFolder&) { return ++visits > 0; }, nullptr, BulkWalker::Field::none,
                     device + 1);
    EXPECT_EQ(visits, 0);
    BulkWalker::walk(home.root(), [&](BulkFolder&) { return ++visits > 0; }, nullptr, BulkWalker::Field::none,
                     device);
    EXPECT_EQ(visits, 2);
}

TEST(BulkWalkerTest, TrailingSlashIsKeptInChildPaths) {
    TempHome home;
    home.dir("sub");
    const Record record = bulkWalk(home.root() + "/");
    ASSERT_EQ(record.visits.size(), 2u);
    EXPECT_EQ(record.visits[1].path, home.root() + "//sub");
}

TEST(BulkWalkerTest, FolderLargerThanOneBufferIsVisitedOnceWithValidNames) {
    TempHome home;
    std::set<std::string> made;
    for (int i = 0; i < 3'000; ++i) {
        const std::string name = "entry-with-a-rather-long-name-" + std::to_string(i);
        home.file("big/" + name);
        made.insert(name);
    }
    home.dir("big/sub");
    made.insert("sub");

    const Record record = bulkWalk(home.path("big"));
    ASSERT_EQ(record.visits.size(), 2u);
    const auto& names = record.visits[0].names;
    EXPECT_EQ(names.size(), made.size());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), made);
}

TEST(BulkWalkerTest, FolderHelpersAndDescriptor) {
    TempHome home;
    home.file("a.txt", 1);
    home.file("ab", 1);
    BulkWalker::walk(
        home.root(),
        [&](BulkFolder& folder) {
            EXPECT_TRUE(folder.contains("a.txt"));
            EXPECT_FALSE(folder.contains("a"));
            EXPECT_FALSE(folder.contains("a.txt2"));
            const BulkEntry* entry = findEntry(folder, "ab");
            if (!entry) {
                ADD_FAILURE() << "entry missing";
                return false;
            }
            EXPECT_EQ(folder.pathOf(*entry), home.path("ab"));
            EXPECT_FALSE(entry->isNamed("a"));
            EXPECT_FALSE(entry->isNamed("abc"));
            struct stat st{};
            EXPECT_EQ(::fstatat(folder.descriptor, entry->namePointer, &st, AT_SYMLINK_NOFOLLOW), 0);
            EXPECT_EQ(st.st_ino, entry->fileID);
            return true;
        },
        nullptr);
}

TEST(BulkEntryTest, CloneOnlyWhenCloneIdDiffersFromFileId) {
    struct Case {
        std::uint64_t fileID, cloneID;
        bool isClone;
    };
    for (const Case c : {Case{7, 0, false}, Case{7, 7, false}, Case{7, 9, true}}) {
        BulkEntry entry;
        entry.fileID = c.fileID;
        entry.cloneID = c.cloneID;
        EXPECT_EQ(entry.isClone(), c.isClone) << c.fileID << " " << c.cloneID;
    }
}

// Reports and visits as relative paths, each list sorted: their order follows the listing.
std::string describe(const Record& record, const std::string& root) {
    auto line = [&](std::vector<std::string> paths) {
        std::sort(paths.begin(), paths.end());
        std::string text;
        for (const auto& path : paths) text.append(" ").append(path == root ? "." : path.substr(root.size() + 1));
        return text;
    };
    return "unreadable:" + line(record.unreadable) + " visited:" + line(visitedPaths(record));
}

TEST(BulkWalkerTest, UnreadableSubfolderIsReportedOnceWhileSiblingsAreWalked) {
    TempHome home;
    home.file("locked/inner/f", 1);
    home.file("listonly/f", 1);
    home.dir("listonly/sub");
    home.dir("open/sub");
    home.dir("zzz");
    home.chmod("locked", 0000);
    home.chmod("listonly", 0444);  // names can be listed, entries not looked at

    struct Case {
        BulkWalker::Fields fields;
        const char* expected;
    };
    for (const Case c :
         {Case{BulkWalker::Field::allFiles, "unreadable: listonly locked visited: . open open/sub zzz"},
          Case{BulkWalker::Field::none, "unreadable: listonly/sub locked visited: . listonly open open/sub zzz"}}) {
        EXPECT_EQ(test::runAsNobody([&] { return describe(bulkWalk(home.root(), c.fields), home.root()); }),
                  c.expected);
    }
}

TEST(BulkWalkerTest, MountPointBelowRootIsNeitherVisitedNorReported) {
    TempHome home;
    home.dir("mnt");
    home.dir("plain");
    const auto answer = test::runInMountNamespace([&] {
        if (!test::mountTmpfs(home.path("mnt"))) return std::string("<mount failed>");
        home.file("mnt/on-tmpfs", 1);
        home.dir("mnt/sub");
        return describe(bulkWalk(home.root()), home.root());
    });
    if (!answer || *answer == "<mount failed>") GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace";
    EXPECT_EQ(*answer, "unreadable: visited: . plain");
}

} // namespace
} // namespace tidra
