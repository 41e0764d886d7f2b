#include "cleanup/ModelWeights.h"

#include "fs/BulkWalker.h"
#include "platform/FileStatus.h"
#include "platform/PathText.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tidra::ModelWeights {
namespace {

bool endsWithIgnoringCase(std::string_view name, std::string_view tail) {
    if (name.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), name.end() - std::ptrdiff_t(tail.size()), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool isBin(std::string_view name) { return endsWithIgnoringCase(name, ".bin"); }

std::int64_t bytesOf(const std::string& path) {
    const auto status = sys::FileStatus::of(path);
    return status && status->type == sys::FileStatus::Type::regular ? status->allocatedBytes : 0;
}

} // namespace

bool isWeightsFile(std::string_view name, std::int64_t bytes) {
    static constexpr std::array<std::string_view, 6> extensions{".pt", ".pth", ".ckpt", ".safetensors", ".gguf", ".onnx"};
    if (std::any_of(extensions.begin(), extensions.end(), [&](auto e) { return endsWithIgnoringCase(name, e); }))
        return true;
    return isBin(name) && bytes >= smallestBinWeights;
}

bool heldIn(const std::vector<std::string>& paths) {
    bool found = false;
    for (const auto& path : paths) {
        if (found) break;
        const auto name = sys::PathText::lastComponent(path);
        if (isWeightsFile(name, isBin(name) ? bytesOf(path) : 0)) return true;
        // Names alone need no status call; only a ".bin" is looked at for its size.
        BulkWalker::walk(
            path,
            [&](BulkFolder& folder) {
                for (const auto& entry : folder.entries) {
                    if (entry.kind != BulkEntry::Kind::file) continue;
                    const auto entryName = entry.nameView();
                    const auto bytes = isBin(entryName) ? bytesOf(folder.pathOf(entry)) : 0;
                    if (isWeightsFile(entryName, bytes)) found = true;
                }
                return !found;
            },
            nullptr, BulkWalker::Field::none);
    }
    return found;
}

} // namespace tidra::ModelWeights
