#include "performance/LaunchJob.h"

#include "platform/PropertyList.h"

namespace tidra {
namespace {

std::optional<std::string> firstArgument(const sys::PlistValue* arguments) {
    const auto* list = arguments ? arguments->as<sys::PlistValue::Array>() : nullptr;
    if (!list || list->empty()) return std::nullopt;
    for (const auto& element : *list)
        if (!element.as<std::string>()) return std::nullopt;
    return *list->front().as<std::string>();
}

std::optional<std::string> text(const std::string* value) {
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

} // namespace

std::optional<LaunchJob> readLaunchJob(const std::string& path) {
    const auto root = sys::readPropertyList(path);
    if (!root || !root->as<sys::PlistValue::Dictionary>()) return std::nullopt;
    LaunchJob job;
    job.label = text(root->string("Label"));
    job.program = text(root->string("Program"));
    if (!job.program) job.program = firstArgument(root->find("ProgramArguments"));
    if (const auto* keepAlive = root->find("KeepAlive")) {
        const bool* flag = keepAlive->as<bool>();
        job.keepAlive = flag ? *flag : true;
    }
    const auto* runAtLoad = root->find("RunAtLoad");
    job.runAtLoad = runAtLoad && runAtLoad->as<bool>() && *runAtLoad->as<bool>();
    return job;
}

} // namespace tidra
