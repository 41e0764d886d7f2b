#include "projects/PullRequests.h"

#include "projects/GitOutput.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace tidra::Worktrees {
namespace {

bool ranWell(const std::optional<Shell::Output>& output) { return output && output->succeeded(); }

std::optional<std::string> installedGh(const std::vector<std::string>& locations) {
    for (const auto& location : locations) {
        struct stat st {};
        if (::stat(location.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(location.c_str(), X_OK) == 0)
            return location;
    }
    return std::nullopt;
}

PullRequest pullRequestFrom(const nlohmann::json& item) {
    PullRequest pull;
    pull.number = item.at("number").get<int>();
    pull.state = item.at("state").get<std::string>();
    pull.headRefName = item.at("headRefName").get<std::string>();
    pull.headRefOid = item.at("headRefOid").get<std::string>();
    return pull;
}

} // namespace

std::optional<std::string> defaultBranch(const std::string& repository, const Tools& tools) {
    const auto head = tools.git(repository, {"symbolic-ref", "--quiet", "--short", "refs/remotes/origin/HEAD"});
    if (ranWell(head)) {
        const auto name = GitOutput::trimmed(head->standardOutput);
        if (!name.empty()) return std::string(name);
    }
    static const std::array<const char*, 5> candidates = {"origin/main", "origin/master", "origin/develop",
                                                          "main", "master"};
    for (const std::string candidate : candidates)
        if (ranWell(tools.git(repository, {"rev-parse", "--verify", "--quiet", candidate + "^{commit}"})))
            return candidate;
    return std::nullopt;
}

std::optional<std::string> gitHubSlug(std::string_view url) {
    static const std::array<std::string_view, 3> prefixes = {"git@github.com:", "ssh://git@github.com/",
                                                             "https://github.com/"};
    std::string_view rest;
    bool matched = false;
    for (const auto prefix : prefixes) {
        if (url.starts_with(prefix)) {
            rest = url.substr(prefix.size());
            matched = true;
            break;
        }
    }
    if (!matched) return std::nullopt;
    if (rest.ends_with("/")) rest.remove_suffix(1);
    if (rest.ends_with(".git")) rest.remove_suffix(4);
    const auto parts = GitOutput::split(rest, '/');
    if (parts.size() != 2) return std::nullopt;
    // Rebuilt from the parts so a doubled "/" cannot reach gh.
    return std::string(parts[0]) + "/" + std::string(parts[1]);
}

std::map<std::string, PullRequest> parsePullRequests(std::string_view json) {
    std::map<std::string, PullRequest> byHead;
    try {
        const auto array = nlohmann::json::parse(json);
        if (!array.is_array()) return {};
        for (const auto& item : array) {
            const auto pull = pullRequestFrom(item);
            // A fork's branch is not ours, whatever its name.
            if (item.at("isCrossRepository").get<bool>() || pull.number <= 0) continue;
            auto& stored = byHead[pull.headRefName];
            if (pull.number > stored.number) stored = pull;
        }
    } catch (const nlohmann::json::exception&) {
        return {};
    }
    return byHead;
}

std::map<std::string, PullRequest> pullRequests(const std::string& repository, const Tools& tools) {
    const auto gh = installedGh(tools.ghLocations);
    if (!gh) return {};
    const auto remote = tools.git(repository, {"remote", "get-url", "origin"});
    if (!ranWell(remote)) return {};
    const auto slug = gitHubSlug(GitOutput::trimmed(remote->standardOutput));
    if (!slug) return {};
    const auto output = Shell::run(*gh,
                                   {"pr", "list", "--repo", *slug, "--state", "all", "--limit", "1000", "--json",
                                    "number,state,headRefName,headRefOid,isCrossRepository"},
                                   {{"GH_PROMPT_DISABLED", "1"}}, std::chrono::seconds(60));
    if (!ranWell(output)) return {};
    return parsePullRequests(output->standardOutput);
}

} // namespace tidra::Worktrees
