#include "files/IdenticalContent.h"

#include "files/Sha256.h"
#include "platform/FileReader.h"

#include <cstring>
#include <memory>

namespace tidra::IdenticalContent {
namespace {

constexpr std::int64_t chunk = 1'048'576;

// The calling thread's buffers, kept so that thousands of small sets allocate nothing.
unsigned char* buffer(std::size_t index) {
    thread_local std::vector<std::unique_ptr<unsigned char[]>> buffers;
    while (buffers.size() <= index) buffers.push_back(std::make_unique<unsigned char[]>(std::size_t(chunk)));
    return buffers[index].get();
}

struct Member {
    std::size_t index;
    std::unique_ptr<sys::FileReader> file;
    std::int64_t got = 0;
};

// Members equal so far, with the digest of what they share.
struct Candidates {
    std::vector<Member*> members;
    std::unique_ptr<Sha256> sha;
};

bool sameChunk(const Member& a, const Member& b) {
    return a.got == b.got && std::memcmp(buffer(a.index), buffer(b.index), std::size_t(a.got)) == 0;
}

// Splits `set` by this round's chunks; unreadable members drop out.
std::vector<std::vector<Member*>> partition(const Candidates& set) {
    std::vector<std::vector<Member*>> parts;
    for (auto* member : set.members) {
        if (member->got < 0) continue;
        auto part = parts.begin();
        while (part != parts.end() && !sameChunk(*part->front(), *member)) ++part;
        if (part == parts.end()) parts.push_back({member});
        else part->push_back(member);
    }
    std::erase_if(parts, [](const auto& part) { return part.size() < 2; });
    return parts;
}

} // namespace

std::optional<std::vector<Match>> split(const std::vector<std::string>& paths, const ChunkRead& chunkRead) {
    std::vector<Member> members;
    members.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto file = std::make_unique<sys::FileReader>();
        if (file->open(paths[i], true)) members.push_back({i, std::move(file)});
    }
    std::vector<Candidates> sets(1);
    for (auto& member : members) sets[0].members.push_back(&member);
    sets[0].sha = std::make_unique<Sha256>();
    std::vector<Match> matches;
    for (std::int64_t offset = 0; !sets.empty(); offset += chunk) {
        std::int64_t read = 0;
        for (auto& set : sets)
            for (auto* member : set.members) {
                member->got = member->file->read(offset, buffer(member->index), std::size_t(chunk));
                read += std::max<std::int64_t>(member->got, 0);
            }
        std::vector<Candidates> next;
        for (auto& set : sets) {
            auto parts = partition(set);
            for (std::size_t p = 0; p < parts.size(); ++p) {
                // The last part goes on with the set's digest; the others with copies of it.
                auto sha = p + 1 < parts.size() ? std::make_unique<Sha256>(*set.sha) : std::move(set.sha);
                const auto& first = *parts[p].front();
                sha->feed(buffer(first.index), first.got);
                if (first.got == chunk) {
                    next.push_back({std::move(parts[p]), std::move(sha)});
                    continue;
                }
                const auto hash = sha->hex();
                if (!hash) continue;
                Match match{*hash, {}};
                for (const auto* member : parts[p]) match.members.push_back(member->index);
                matches.push_back(std::move(match));
            }
        }
        if (chunkRead && !chunkRead(read)) return std::nullopt;
        sets = std::move(next);
    }
    return matches;
}

} // namespace tidra::IdenticalContent
