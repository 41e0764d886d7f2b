#include "files/UserFiles.h"

#include "fs/BulkWalker.h"
#include "platform/FileDetails.h"
#include "projects/ArtifactKind.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace tidra::UserFiles {
namespace {

using Clock = std::chrono::system_clock;

constexpr std::int64_t progressStride = 2048;

bool isAnyOf(const BulkEntry& entry, const auto& names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) { return entry.isNamed(name); });
}

bool isSkippedName(const BulkEntry& entry) {
    static constexpr std::array<std::string_view, 5> names{"node_modules", "Pods", "venv", "__pycache__",
                                                           "Media.localized"};
    return isAnyOf(entry, names);
}

// Application and library packages keep their own innards; nothing in them is the user's
// document. The extension is compared lower-cased ("Old.APP" is a package).
bool isPackage(const BulkEntry& entry) {
    static constexpr std::array<std::string_view, 14> extensions{
        "app", "photoslibrary", "musiclibrary", "tvlibrary", "imovielibrary", "fcpbundle", "logicx",
        "band", "lrdata", "lrlibrary", "xcarchive", "bundle", "framework", "plugin"};
    const auto name = entry.nameView();
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return false;
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

// A build or package folder of a project: its name is an artifact folder and one of that
// kind's markers stands beside it.
bool isArtifact(const BulkFolder& folder, const BulkEntry& entry) {
    const auto& index = ArtifactKind::byFolder();
    const auto kinds = index.find(entry.nameView());
    if (kinds == index.end()) return false;
    for (const auto& kind : kinds->second)
        for (const auto& marker : kind.markers)
            if (folder.contains(marker)) return true;
    return false;
}

bool staysOut(const BulkFolder& folder, const BulkEntry& entry) {
    return entry.namePointer[0] == '.' || isSkippedName(entry) || isPackage(entry) || isArtifact(folder, entry);
}

Clock::time_point timeOf(std::int64_t nanoseconds) {
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds)));
}

File fileFrom(std::string path, const sys::FileDetails& details) {
    return {std::move(path),
            details.allocatedBytes,
            details.length,
            CloneID::ownIdentity(details.device, details.inode),
            timeOf(details.modifiedNanoseconds),
            timeOf(details.createdNanoseconds),
            std::max<std::int64_t>(1, details.linkCount)};
}

// One call's walk state.
class Listing {
public:
    Listing(std::int64_t minimumBytes, const Accept& accept, const Progress& progress, const IsCancelled& isCancelled,
            const Unreadable& unreadable, Details details)
        : minimumBytes_(minimumBytes), accept_(accept), progress_(progress), isCancelled_(isCancelled),
          unreadable_(unreadable), files_(details == Details::kept) {}

    // The walk reads no status itself: the visitor reads each file's full status once,
    // relative to the open folder, and only for names that can be listed at all.
    void walk(const std::string& root) {
        BulkWalker::walk(root, [this](BulkFolder& folder) { return visit(folder); }, unreadable_,
                         BulkWalker::Field::none);
    }

    FileTable finish() {
        if (progress_) progress_(count_);
        return std::move(files_);
    }

private:
    bool visit(BulkFolder& folder) {
        const auto& entries = folder.entries;
        if (folder.contains(".git")) {
            // A git working copy is the user's project, not a set of documents.
            for (std::size_t index = 0; index < entries.size(); ++index) folder.skipped.insert(std::int64_t(index));
            return true;
        }
        for (std::size_t index = 0; index < entries.size(); ++index) {
            const auto& entry = entries[index];
            if (entry.kind == BulkEntry::Kind::file) consider(folder, entry);
            else if (entry.kind == BulkEntry::Kind::directory && staysOut(folder, entry))
                folder.skipped.insert(std::int64_t(index));
        }
        if (count_ - lastReport_ >= progressStride) {
            lastReport_ = count_;
            if (progress_) progress_(count_);
        }
        return !(isCancelled_ && isCancelled_());
    }

    void consider(const BulkFolder& folder, const BulkEntry& entry) {
        ++count_;
        if (entry.namePointer[0] == '.') return;
        const auto details = sys::FileDetails::at(folder.descriptor, entry.namePointer);
        if (!details || !details->isRegular || details->allocatedBytes < minimumBytes_) return;
        if (accept_ && !accept_(entry.nameView())) return;
        if (details->linkCount >= 2 &&
            !linkedTaken_.insert(CloneID::ownIdentity(details->device, details->inode)).second)
            return;
        files_.add(folder.path, entry.nameView(), *details);
    }

    const std::int64_t minimumBytes_;
    const Accept& accept_;
    const Progress& progress_;
    const IsCancelled& isCancelled_;
    const Unreadable& unreadable_;
    std::int64_t count_ = 0;
    std::int64_t lastReport_ = 0;
    std::unordered_set<CloneID, CloneIDHash> linkedTaken_;
    FileTable files_;
};

} // namespace

FileTable table(const std::vector<std::string>& roots, std::int64_t minimumBytes, const Accept& accept,
                const Progress& progress, const IsCancelled& isCancelled, const Unreadable& unreadable,
                Details details) {
    Listing listing(minimumBytes, accept, progress, isCancelled, unreadable, details);
    for (const auto& root : roots) listing.walk(root);
    return listing.finish();
}

File fileOf(const FileTable& table, std::size_t index) { return fileFrom(table.path(index), table.facts(index)); }

std::optional<File> fileAt(const std::string& path) {
    const auto details = sys::FileDetails::of(path);
    if (!details || !details->isRegular) return std::nullopt;
    return fileFrom(path, *details);
}

std::vector<File> list(const std::vector<std::string>& roots, std::int64_t minimumBytes, const Accept& accept,
                       const Progress& progress, const IsCancelled& isCancelled, const Unreadable& unreadable) {
    const auto listed = table(roots, minimumBytes, accept, progress, isCancelled, unreadable);
    std::vector<File> files;
    files.reserve(listed.size());
    for (std::size_t index = 0; index < listed.size(); ++index) files.push_back(fileOf(listed, index));
    return files;
}

std::int64_t freed(const std::vector<Entry>& files, const std::set<std::string>& removing) {
    std::unordered_set<CloneID, CloneIDHash> held;
    for (const auto& file : files)
        if (!removing.count(file.path)) held.insert(file.cloneID);
    std::unordered_set<CloneID, CloneIDHash> counted;
    std::int64_t total = 0;
    for (const auto& file : files) {
        if (!removing.count(file.path) || held.count(file.cloneID)) continue;
        if (counted.insert(file.cloneID).second) total += file.bytes;
    }
    return total;
}

} // namespace tidra::UserFiles
