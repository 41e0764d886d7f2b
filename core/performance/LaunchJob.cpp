#include "performance/LaunchJob.h"

#include "platform/RegularFile.h"

#include <plist/plist.h>

#include <cstdint>
#include <memory>

namespace tidra {
namespace {

std::optional<std::string> text(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
    uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    return value ? std::optional<std::string>(std::string(value, length)) : std::nullopt;
}

std::optional<bool> boolean(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_BOOLEAN) return std::nullopt;
    uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

std::optional<std::string> firstArgument(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_ARRAY || plist_array_get_size(node) == 0) return std::nullopt;
    for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
        if (!text(plist_array_get_item(node, i))) return std::nullopt;
    return text(plist_array_get_item(node, 0));
}

} // namespace

std::optional<LaunchJob> readLaunchJob(const std::string& path) {
    const auto bytes = sys::readRegularFile(path, 16u << 20);
    if (!bytes) return std::nullopt;
    plist_t parsed = nullptr;
    plist_from_memory(bytes->data(), static_cast<uint32_t>(bytes->size()), &parsed);
    const std::unique_ptr<void, decltype(&plist_free)> root(parsed, &plist_free);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;

    const auto item = [&](const char* key) { return plist_dict_get_item(root.get(), key); };
    LaunchJob job;
    job.label = text(item("Label"));
    job.program = text(item("Program"));
    if (!job.program) job.program = firstArgument(item("ProgramArguments"));
    const plist_t keepAlive = item("KeepAlive");
    job.keepAlive = keepAlive && boolean(keepAlive).value_or(true);
    job.runAtLoad = boolean(item("RunAtLoad")).value_or(false);
    return job;
}

} // namespace tidra
