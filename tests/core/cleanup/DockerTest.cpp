#include "cleanup/Docker.h"

#include "support/FakeTool.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

using test::reply;

using Strings = std::vector<std::string>;

TEST(DockerTest, CandidatesInOrder) {
    EXPECT_EQ(Docker::cliCandidates("/home/u"),
              (Strings{"/usr/local/bin/docker", "/opt/homebrew/bin/docker", "/home/u/.docker/bin/docker",
                       "/Applications/Docker.app/Contents/Resources/bin/docker", "/usr/bin/docker"}));
}

TEST(DockerTest, ParseSize) {
    const std::pair<const char*, std::int64_t> rows[] = {
        {"1.2GB (50%)", 1'200'000'000},
        {"12.5MB", 12'500'000},
        {"512B", 512},
        {"1.5 GB", 1},
        {"0B", 0},
        {"", 0},
        {"   3kB  (1%)", 3'000},
        {"2TB", 2'000'000'000'000},
        {"1.5gb", 1'500'000'000},
        {"7", 7},
        {"7XB", 7},
        {"1.2.3GB", 0},
        {".GB", 0},
        {"GB", 0},
        {"-5GB", 0},
        {"1.GB", 1'000'000'000},
        {".5kB", 500},
        {"9223372036854775807B", 0},
        {"9300000000TB", 0},
        {"99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
         "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999GB",
         0},
        {"9000000000GB", 9'000'000'000'000'000'000},
    };
    for (const auto& [text, bytes] : rows) EXPECT_EQ(Docker::parseSize(text), bytes) << text;
}

TEST(DockerTest, ParseUsage) {
    struct Row {
        const char* name;
        const char* report;
        std::optional<DockerUsage> usage;
    };
    const Row rows[] = {
        {"all four kinds",
         "{\"Type\":\"Images\",\"Reclaimable\":\"1.2GB (50%)\"}\n"
         "{\"Type\":\"Containers\",\"Reclaimable\":\"3kB\"}\n"
         "{\"Type\":\"Local Volumes\",\"Reclaimable\":\"2MB\",\"Size\":\"9MB\"}\n"
         "{\"Type\":\"Build Cache\",\"Reclaimable\":\"512B\"}\n",
         DockerUsage{3'000, 1'200'000'000, 2'000'000, 512}},
        {"one valid line among junk", "{\"Type\":\"Images\",\"Reclaimable\":\"1GB\"}\nnot json\n\n",
         DockerUsage{0, 1'000'000'000, 0, 0}},
        {"later line of a kind wins", "{\"Type\":\"Images\",\"Reclaimable\":\"1GB\"}\n{\"Type\":\"Images\",\"Reclaimable\":\"2kB\"}",
         DockerUsage{0, 2'000, 0, 0}},
        {"unknown kinds only", "{\"Type\":\"images\",\"Reclaimable\":\"1GB\"}", DockerUsage{}},
        {"only undecodable lines", "junk\n{\"Type\":\"Images\"}\n{\"Type\":1,\"Reclaimable\":\"1GB\"}\n[1]", std::nullopt},
        {"empty", "", std::nullopt},
        {"blank lines", "\n\n", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(Docker::parseUsage(row.report), row.usage) << row.name;
}

TEST(DockerTest, StatusOfMissingFailingAndWorkingTools) {
    test::TempHome home;
    const std::string report = "{\"Type\":\"Build Cache\",\"Reclaimable\":\"5MB\"}\n";
    test::FakeTool working(home.path("working"), reply(report));
    test::FakeTool failing(home.path("failing"), reply(report, 1));
    test::FakeTool silent(home.path("silent"), reply("Cannot connect\n"));
    home.file("plain", 1); // not executable

    EXPECT_EQ(Docker::status({}), DockerStatus{DockerStatus::NotInstalled{}});
    EXPECT_EQ(Docker::status({home.path("missing"), home.path("plain"), home.root()}),
              DockerStatus{DockerStatus::NotInstalled{}});
    EXPECT_EQ(Docker::status({failing.path()}), DockerStatus{DockerStatus::NotRunning{}});
    EXPECT_EQ(Docker::status({silent.path()}), DockerStatus{DockerStatus::NotRunning{}});
    EXPECT_EQ(Docker::status({home.path("missing"), working.path(), failing.path()}),
              (DockerStatus{DockerStatus::Running{working.path(), DockerUsage{0, 0, 0, 5'000'000}}}));
    EXPECT_EQ(working.arguments(), (Strings{"system", "df", "--format", "{{json .}}"}));
    EXPECT_TRUE(failing.calls().size() == 1);
}

TEST(DockerTest, CleanupItems) {
    EXPECT_TRUE(Docker::cleanupItems({DockerStatus::NotInstalled{}}).empty());
    EXPECT_TRUE(Docker::cleanupItems({DockerStatus::NotRunning{}}).empty());
    const auto items = Docker::cleanupItems({DockerStatus::Running{"/x/docker", DockerUsage{1, 2, 3, 4}}});
    const auto item = [](const char* id, const char* title, Safety safety, Strings arguments, std::int64_t bytes,
                         const char* consequence) {
        return CleanupItem{id, title, CleanupCategory::docker, consequence, safety,
                           CleanupAction::Run{"/x/docker", std::move(arguments), {}}, false, 1'000'000, bytes};
    };
    EXPECT_EQ(items, (std::vector<CleanupItem>{
                         item("docker.containers", "Stopped containers", Safety::review,
                              {"container", "prune", "--force"}, 1, "Anything written inside those containers is lost."),
                         item("docker.images", "Images no container uses", Safety::review,
                              {"image", "prune", "--all", "--force"}, 2,
                              "They are pulled or built again the next time you need them."),
                         item("docker.volumes", "Volumes no container uses", Safety::review,
                              {"volume", "prune", "--all", "--force"}, 3,
                              "Erases the data stored in them, such as databases, for good."),
                         item("docker.buildCache", "Build cache", Safety::safe,
                              {"builder", "prune", "--all", "--force"}, 4, "The next image build starts from scratch."),
                     }));
    const auto zeros = Docker::cleanupItems({DockerStatus::Running{"/x/docker", DockerUsage{}}});
    ASSERT_EQ(zeros.size(), 4u);
    for (const auto& z : zeros) EXPECT_EQ(z.knownBytes, 0);
}

} // namespace
} // namespace tidra
