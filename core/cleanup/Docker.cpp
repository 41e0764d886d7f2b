#include "cleanup/Docker.h"

#include "cleanup/SizeText.h"
#include "platform/FileAccess.h"
#include "system/Shell.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cctype>

namespace tidra::Docker {
namespace {

using nlohmann::json;

constexpr std::chrono::seconds reportTimeout{45};

struct ReportLine {
    std::string type;
    std::string reclaimable;
};

std::optional<ReportLine> decodeLine(std::string_view line) {
    const json object = json::parse(line, nullptr, false);
    if (!object.is_object()) return std::nullopt;
    const auto type = object.find("Type");
    const auto reclaimable = object.find("Reclaimable");
    if (type == object.end() || reclaimable == object.end() || !type->is_string() || !reclaimable->is_string())
        return std::nullopt;
    return ReportLine{type->get<std::string>(), reclaimable->get<std::string>()};
}

std::int64_t* figureFor(DockerUsage& usage, const std::string& type) {
    if (type == "Containers") return &usage.containers;
    if (type == "Images") return &usage.images;
    if (type == "Local Volumes") return &usage.volumes;
    if (type == "Build Cache") return &usage.buildCache;
    return nullptr;
}

double decimalMultiplier(std::string_view unit) {
    std::string lower(unit);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "kb") return 1e3;
    if (lower == "mb") return 1e6;
    if (lower == "gb") return 1e9;
    if (lower == "tb") return 1e12;
    return 1;
}

std::string_view firstWord(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    const auto end = text.find(' ', start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

struct PruneRow {
    const char* id;
    const char* title;
    Safety safety;
    std::vector<std::string> arguments;
    std::int64_t DockerUsage::*figure;
    const char* consequence;
};

const std::vector<PruneRow>& pruneRows() {
    static const std::vector<PruneRow> rows{
        {"docker.containers", "Stopped containers", Safety::review, {"container", "prune", "--force"},
         &DockerUsage::containers, "Anything written inside those containers is lost."},
        {"docker.images", "Images no container uses", Safety::review, {"image", "prune", "--all", "--force"},
         &DockerUsage::images, "They are pulled or built again the next time you need them."},
        {"docker.volumes", "Volumes no container uses", Safety::review, {"volume", "prune", "--all", "--force"},
         &DockerUsage::volumes, "Erases the data stored in them, such as databases, for good."},
        {"docker.buildCache", "Build cache", Safety::safe, {"builder", "prune", "--all", "--force"},
         &DockerUsage::buildCache, "The next image build starts from scratch."},
    };
    return rows;
}

} // namespace

std::vector<std::string> cliCandidates(const std::string& home) {
    return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker", home + "/.docker/bin/docker",
            "/Applications/Docker.app/Contents/Resources/bin/docker", "/usr/bin/docker"};
}

DockerStatus status(const std::vector<std::string>& candidates) {
    const auto cli = std::find_if(candidates.begin(), candidates.end(), sys::isExecutableFile);
    if (cli == candidates.end()) return {DockerStatus::NotInstalled{}};
    const auto output = Shell::run(*cli, {"system", "df", "--format", "{{json .}}"}, {}, reportTimeout);
    if (!output || !output->succeeded()) return {DockerStatus::NotRunning{}};
    const auto usage = parseUsage(output->standardOutput);
    if (!usage) return {DockerStatus::NotRunning{}};
    return {DockerStatus::Running{*cli, *usage}};
}

std::optional<DockerUsage> parseUsage(std::string_view report) {
    DockerUsage usage;
    bool decodedAny = false;
    for (std::size_t start = 0; start < report.size();) {
        std::size_t end = report.find('\n', start);
        if (end == std::string_view::npos) end = report.size();
        const auto line = end > start ? decodeLine(report.substr(start, end - start)) : std::nullopt;
        start = end + 1;
        if (!line) continue;
        decodedAny = true;
        if (auto* figure = figureFor(usage, line->type)) *figure = parseSize(line->reclaimable);
    }
    if (!decodedAny) return std::nullopt;
    return usage;
}

std::int64_t parseSize(std::string_view text) {
    const auto number = SizeText::leadingNumber(firstWord(text));
    if (!number) return 0;
    return SizeText::scaled(number->value, decimalMultiplier(number->rest)).value_or(0);
}

std::vector<CleanupItem> cleanupItems(const DockerStatus& status) {
    const auto* running = std::get_if<DockerStatus::Running>(&status.value);
    if (!running) return {};
    std::vector<CleanupItem> items;
    for (const auto& row : pruneRows())
        items.push_back({row.id, row.title, CleanupCategory::docker, row.consequence, row.safety,
                         CleanupAction::Run{running->cli, row.arguments, {}}, false, 1'000'000,
                         running->usage.*row.figure});
    return items;
}

} // namespace tidra::Docker
