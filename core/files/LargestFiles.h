#pragma once

#include "files/LargeFile.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tidra {

// The best `limit` files offered so far, kept while a search walks instead of ranking every
// hit at its end: largest first, equal sizes by path in composed code-point order (then in
// plain byte order), and a file with several hard links once, under the path that ranks
// first. What is kept does not depend on the order of the offers. Not thread-safe: one per
// worker, merged.
class LargestFiles {
public:
    // A negative limit counts as 0.
    explicit LargestFiles(std::int64_t limit);

    // `hardLinked`: the file has two or more names, identified by (device, inode).
    void offer(LargeFile file, std::uint64_t device, std::uint64_t inode, bool hardLinked);
    // Offers everything `other` kept, leaving it empty.
    void merge(LargestFiles& other);
    // The files kept, best first.
    std::vector<LargeFile> ranked() const;

private:
    struct Kept {
        LargeFile file;
        std::string composed;
        std::pair<std::uint64_t, std::uint64_t> identity;
        bool hardLinked;
    };
    struct Better {
        bool operator()(const Kept& a, const Kept& b) const;
    };
    using Ranking = std::multiset<Kept, Better>;

    void keep(Kept kept);
    void drop(Ranking::iterator at);

    std::size_t limit_;
    Ranking kept_;
    // The hard-linked files among those kept, so that a second name replaces or loses to the first.
    std::map<std::pair<std::uint64_t, std::uint64_t>, Ranking::iterator> linked_;
};

} // namespace tidra
