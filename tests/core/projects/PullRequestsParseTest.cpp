#include "projects/PullRequests.h"
#include "projects/WorktreeInspection.h"

#include <gtest/gtest.h>

namespace tidra {
namespace {

TEST(GitHubSlugTest, UrlForms) {
    struct Row {
        const char* url;
        std::optional<std::string> slug;
    };
    const Row rows[] = {
        {"git@github.com:owner/repo.git", "owner/repo"},
        {"git@github.com:owner/repo", "owner/repo"},
        {"ssh://git@github.com/owner/repo.git", "owner/repo"},
        {"https://github.com/owner/repo.git", "owner/repo"},
        {"https://github.com/owner/repo", "owner/repo"},
        {"https://github.com/owner/repo/", "owner/repo"},
        {"https://github.com/owner/repo.git/", "owner/repo"},
        {"https://github.com/owner//repo", "owner/repo"},
        {"https://github.com/owner/repo/tree", std::nullopt},
        {"https://github.com/owner", std::nullopt},
        {"https://github.com/", std::nullopt},
        {"http://github.com/owner/repo", std::nullopt},
        {"https://gitlab.com/owner/repo.git", std::nullopt},
        {"git@gitlab.com:owner/repo.git", std::nullopt},
        {"https://GitHub.com/owner/repo", std::nullopt},
        {"https://github.com.evil.example/owner/repo", std::nullopt},
        {"/srv/git/repo.git", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(Worktrees::gitHubSlug(row.url), row.slug) << row.url;
}

std::string pr(int number, const char* state, const char* head, bool cross = false) {
    return std::string(R"({"number":)") + std::to_string(number) + R"(,"state":")" + state +
           R"(","headRefName":")" + head + R"(","headRefOid":"oid)" + std::to_string(number) +
           R"(","isCrossRepository":)" + (cross ? "true" : "false") + "}";
}

// A JSON array of the given elements.
std::string array(const std::vector<std::string>& elements, bool closed = true) {
    std::string text = "[";
    for (const auto& element : elements) text.append(text.size() > 1 ? "," : "").append(element);
    return closed ? text + "]" : text;
}

TEST(PullRequestsParseTest, HighestNumberPerHeadWinsWhateverTheOrder) {
    for (const auto& json : {array({pr(3, "CLOSED", "fix"), pr(9, "OPEN", "fix"), pr(4, "MERGED", "docs")}),
                             array({pr(9, "OPEN", "fix"), pr(4, "MERGED", "docs"), pr(3, "CLOSED", "fix")})}) {
        const auto pulls = Worktrees::parsePullRequests(json);
        ASSERT_EQ(pulls.size(), 2u) << json;
        EXPECT_EQ(pulls.at("fix"), (Worktrees::PullRequest{9, "OPEN", "fix", "oid9"}));
        EXPECT_EQ(pulls.at("docs"), (Worktrees::PullRequest{4, "MERGED", "docs", "oid4"}));
    }
}

TEST(PullRequestsParseTest, ForksAndNonPositiveNumbersAreLeftOut) {
    const auto pulls = Worktrees::parsePullRequests(
        array({pr(5, "MERGED", "main", true), pr(8, "OPEN", "patch-1", true), pr(2, "OPEN", "patch-1"), pr(0, "OPEN", "zero")}));
    ASSERT_EQ(pulls.size(), 1u);
    EXPECT_EQ(pulls.at("patch-1").number, 2);
}

TEST(PullRequestsParseTest, MalformedJsonGivesNothing) {
    for (const std::string& json : std::vector<std::string>{"", "not json", "{}", R"([{"number":1,"state":"OPEN","headRefName":"a"}])",
                                   R"([{"number":"1","state":"OPEN","headRefName":"a","headRefOid":"x","isCrossRepository":false}])",
                                   array({pr(1, "OPEN", "a"), "{}"}), array({pr(1, "OPEN", "a")}, false)})
        EXPECT_TRUE(Worktrees::parsePullRequests(json).empty()) << json;
    EXPECT_TRUE(Worktrees::parsePullRequests("[]").empty());
}

TEST(RegenerableTest, NamesThatRebuildThemselves) {
    for (const char* path : {"dist", "web/dist", "coverage", "__pycache__", ".pytest_cache", ".mypy_cache", ".ruff_cache",
                             ".eslintcache", ".flutter-plugins", ".flutter-plugins-dependencies",
                             "ios/Flutter/Generated.xcconfig", "linux/flutter/ephemeral", "flutter_export_environment.sh",
                             "GeneratedPluginRegistrant.swift", "tsconfig.tsbuildinfo", "a/b.tsbuildinfo"})
        EXPECT_TRUE(Worktrees::isRegenerable(path)) << path;
    for (const char* path : {".env", "dist/keys.txt", "Dist", "distribution", "GeneratedPluginRegistrant", "x.tsbuildinfo.bak",
                             "secrets/.env.local", ""})
        EXPECT_FALSE(Worktrees::isRegenerable(path)) << path;
}

} // namespace
} // namespace tidra
