#include "files/IdenticalContent.h"

#include "files/ReadBuffer.h"
#include "files/Sha256.h"
#include "platform/FileReader.h"

#include <cstring>
#include <memory>

namespace tidra::IdenticalContent {
namespace {

struct Member {
    std::size_t index;
    std::unique_ptr<sys::FileReader> file;
    ReadBuffer buffer;
    std::int64_t got = 0;
};

// Members equal so far, with the digest of what they share.
struct Candidates {
    std::vector<Member*> members;
    std::unique_ptr<Sha256> sha;
};

bool sameChunk(const Member& a, const Member& b) {
    return a.got == b.got && std::memcmp(a.buffer.data(), b.buffer.data(), std::size_t(a.got)) == 0;
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

std::optional<std::vector<Match>> split(const std::vector<std::string>& paths, std::int64_t length,
                                         const ChunkRead& chunkRead) {
    const auto readSize = ReadBuffer::forWholeFile(length).size();
    std::vector<Member> members;
    members.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto file = std::make_unique<sys::FileReader>();
        if (file->open(paths[i], true)) members.push_back({i, std::move(file), ReadBuffer(readSize)});
    }
    std::vector<Candidates> sets(1);
    for (auto& member : members) sets[0].members.push_back(&member);
    sets[0].sha = std::make_unique<Sha256>();
    std::vector<Match> matches;
    for (std::int64_t offset = 0; !sets.empty(); offset += readSize) {
        std::int64_t read = 0;
        for (auto& set : sets)
            for (auto* member : set.members) {
                member->got = member->file->read(offset, member->buffer.data(), std::size_t(readSize));
                read += std::max<std::int64_t>(member->got, 0);
            }
        std::vector<Candidates> next;
        for (auto& set : sets) {
            auto parts = partition(set);
            for (std::size_t p = 0; p < parts.size(); ++p) {
                // The last part goes on with the set's digest; the others with copies of it.
                auto sha = p + 1 < parts.size() ? std::make_unique<Sha256>(*set.sha) : std::move(set.sha);
                const auto& first = *parts[p].front();
                sha->feed(first.buffer.data(), first.got);
                if (first.got == readSize) {
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
