#include "files/LargestFiles.h"

#include "files/UnicodeText.h"

#include <algorithm>
#include <iterator>
#include <tuple>

namespace tidra {

bool LargestFiles::Better::operator()(const Kept& a, const Kept& b) const {
    return std::tie(b.file.bytes, a.composed, a.file.path) < std::tie(a.file.bytes, b.composed, b.file.path);
}

LargestFiles::LargestFiles(std::int64_t limit) : limit_(std::size_t(std::max<std::int64_t>(limit, 0))) {}

void LargestFiles::offer(LargeFile file, std::uint64_t device, std::uint64_t inode, bool hardLinked) {
    if (limit_ == 0) return;
    // Most offers are smaller than the worst kept file: they cost one comparison and no text.
    if (kept_.size() == limit_ && file.bytes < std::prev(kept_.end())->file.bytes) return;
    auto composed = UnicodeText::composed(file.path);
    keep({std::move(file), std::move(composed), {device, inode}, hardLinked});
}

void LargestFiles::keep(Kept kept) {
    const Better better;
    if (kept_.size() == limit_ && !better(kept, *std::prev(kept_.end()))) return;
    if (kept.hardLinked) {
        const auto other = linked_.find(kept.identity);
        if (other != linked_.end()) {
            if (!better(kept, *other->second)) return;
            drop(other->second);
        }
    }
    const auto at = kept_.insert(std::move(kept));
    if (at->hardLinked) linked_[at->identity] = at;
    if (kept_.size() > limit_) drop(std::prev(kept_.end()));
}

void LargestFiles::drop(Ranking::iterator at) {
    if (at->hardLinked) linked_.erase(at->identity);
    kept_.erase(at);
}

void LargestFiles::merge(LargestFiles& other) {
    while (!other.kept_.empty()) {
        auto node = other.kept_.extract(other.kept_.begin());
        keep(std::move(node.value()));
    }
    other.linked_.clear();
}

std::vector<LargeFile> LargestFiles::ranked() const {
    std::vector<LargeFile> files;
    files.reserve(kept_.size());
    for (const auto& kept : kept_) files.push_back(kept.file);
    return files;
}

} // namespace tidra
