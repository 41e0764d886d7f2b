#include "files/FileTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidra {
namespace {

struct Added {
    std::string folder;
    std::string name;
    sys::FileDetails facts;
};

// Odd bytes, a folder met again after another, and enough long names to fill several name blocks.
std::vector<Added> oddFiles() {
    std::vector<Added> files{
        {"/h/a", "line\nbreak", {true, 1, 10, 1, 5, 4096, 111, 222}},
        {"/h/a", "\xff\xfe raw", {true, 1, 11, 2, 6, 4096, 112, 223}},
        {"/h/b b", " spaced ", {true, 2, 12, 1, 7, 8192, 113, 224}},
        {"/h/a", "\xc3\xbc copy (1).jpg", {true, 1, 13, 3, 8, 0, 114, 225}},
    };
    for (int i = 0; i < 1000; ++i)
        files.push_back({"/h/long/" + std::to_string(i / 100), std::string(200, char('a' + i % 26)) + std::to_string(i),
                         {true, 3, std::uint64_t(1000 + i), 1, i, 4096 * i, i, -i}});
    return files;
}

TEST(FileTable, GivesBackEveryPathAndFactAsAdded) {
    for (const bool keepsDetails : {true, false}) {
        FileTable table(keepsDetails);
        const auto files = oddFiles();
        for (const auto& file : files) table.add(file.folder, file.name, file.facts);
        ASSERT_EQ(table.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto& want = files[i].facts;
            const auto got = table.facts(i);
            EXPECT_EQ(table.path(i), files[i].folder + "/" + files[i].name) << i;
            EXPECT_EQ(table.length(i), want.length) << i;
            EXPECT_EQ(std::tuple(got.length, got.device, got.inode), std::tuple(want.length, want.device, want.inode)) << i;
            const auto details =
                keepsDetails ? std::tuple(want.allocatedBytes, want.modifiedNanoseconds, want.createdNanoseconds, want.linkCount)
                             : std::tuple(std::int64_t(0), std::int64_t(0), std::int64_t(0), std::int64_t(1));
            EXPECT_EQ(std::tuple(got.allocatedBytes, got.modifiedNanoseconds, got.createdNanoseconds, got.linkCount), details)
                << i;
        }
    }
}

// What a listing of a whole home costs: a fixed row per file, its name, and little else.
TEST(FileTable, HoldsARowAndTheNamePerFile) {
    constexpr int files = 10'000;
    const std::string name = "photo-00000.jpg";
    for (const bool keepsDetails : {true, false}) {
        FileTable table(keepsDetails);
        for (int i = 0; i < files; ++i) table.add("/home/me/Pictures/" + std::to_string(i / 1000), name, {true, 1, 1, 1, 1});
        // 32 bytes a file for the search over a whole home, 64 with details.
        const std::size_t row = keepsDetails ? 64 : 32;
        const std::size_t nameBlockSlack = 65'536;
        const std::size_t folders = 10 * 64;
        EXPECT_LE(table.heldBytes(), files * (row + name.size() + 1) + nameBlockSlack + folders) << keepsDetails;
    }
}

} // namespace
} // namespace tidra
