#include "cleanup/CleanupHistory.h"

#include "cleanup/CleanupRecordJson.h"
#include "platform/FileLock.h"
#include "platform/FileStore.h"
#include "platform/PathText.h"

#include <nlohmann/json.hpp>

namespace tidra {
namespace {

namespace FileStore = sys::FileStore;
using Json = nlohmann::json;

// Long enough for a slow disk, short enough that a stuck process cannot freeze the caller.
constexpr std::chrono::seconds lockTimeout{10};
// Far deeper than any record. Kept elements are written back recursively, so a file nested
// deeper counts as broken: it is kept aside instead of crashing or bloating every append.
constexpr int maximumDepth = 64;

// The file as it stands: its elements, or why it has none.
struct Stored {
    enum class State { absent, parsed, broken };
    State state = State::absent;
    Json elements = Json::array();
};

Stored readStored(const std::string& file) {
    const auto contents = FileStore::read(file);
    if (contents.status == FileStore::Contents::Status::absent) return {};
    if (contents.status == FileStore::Contents::Status::failed) return {Stored::State::broken};
    bool tooDeep = false;
    const auto shallow = [&](int depth, Json::parse_event_t, Json&) {
        if (depth > maximumDepth) tooDeep = true;
        return !tooDeep;
    };
    Json parsed = Json::parse(contents.data, shallow, /*allow_exceptions=*/false);
    if (tooDeep || !parsed.is_array()) return {Stored::State::broken};
    return {Stored::State::parsed, std::move(parsed)};
}

std::string compactStamp(std::chrono::system_clock::time_point when) {
    std::string stamp = CleanupRecordJson::formatDate(when);
    std::erase(stamp, '-');
    std::erase(stamp, ':');
    return stamp;
}

// Keeps a broken file under a name of its own; a clash within the same second gets a counter.
std::optional<std::string> moveAside(const std::string& file, std::chrono::system_clock::time_point when) {
    const std::string base = file + ".corrupt-" + compactStamp(when);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string target = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        const auto failure = FileStore::renameNoReplace(file, target);
        if (!failure) return std::nullopt;
        if (*failure != "exists") return "could not keep the unreadable history aside: " + *failure;
    }
    return "could not keep the unreadable history aside";
}

std::optional<std::string> dump(const Json& elements) {
    try {
        return elements.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
    } catch (const Json::exception&) {
        return std::nullopt;
    }
}

std::optional<std::string> appendLocked(const CleanupHistory& history, const Json& encoded) {
    Stored stored = readStored(history.file);
    Json elements = Json::array({encoded});
    for (auto& element : stored.elements) {
        if (elements.size() == CleanupHistory::capacity) break;
        elements.push_back(std::move(element));
    }
    const auto text = dump(elements);
    if (!text) return "could not encode the history";
    // The broken file is moved aside only once its successor is safely written, so a full disk
    // never leaves the history without a file.
    std::optional<std::string> asideFailure;
    const auto keepBrokenAside = [&] {
        if (stored.state == Stored::State::broken) asideFailure = moveAside(history.file, history.now());
        return asideFailure;
    };
    if (auto failure = FileStore::writeAtomically(history.file, *text, keepBrokenAside))
        return asideFailure ? *asideFailure : "could not write the history: " + *failure;
    return std::nullopt;
}

} // namespace

CleanupHistory::CleanupHistory(const std::string& home) : file(home + "/.local/share/Tidra/history.json") {}

std::vector<CleanupRecord> CleanupHistory::load() const {
    std::vector<CleanupRecord> records;
    for (const auto& element : readStored(file).elements)
        if (auto record = CleanupRecordJson::decode(element)) records.push_back(std::move(*record));
    return records;
}

std::optional<std::string> CleanupHistory::append(const CleanupRecord& record) const {
    if (record.freedBytes <= 0 && record.items.empty()) return std::nullopt;
    if (!FileStore::makeFolders(std::string(sys::PathText::parentFolder(file)))) return "could not create the history folder";
    const sys::FileLock lock(file + ".lock", lockTimeout);
    if (!lock.held()) return "could not lock the history: " + lock.error();
    return appendLocked(*this, CleanupRecordJson::encode(record));
}

std::int64_t CleanupHistory::totalFreed() const { return totalFreed(load()); }

std::int64_t CleanupHistory::totalFreed(const std::vector<CleanupRecord>& records) {
    std::int64_t total = 0;
    for (const auto& record : records)
        // A hand-edited file could hold anything; saturate rather than wrap.
        if (__builtin_add_overflow(total, record.freedBytes, &total))
            return record.freedBytes > 0 ? INT64_MAX : INT64_MIN;
    return total;
}

} // namespace tidra
