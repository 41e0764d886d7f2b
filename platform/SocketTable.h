#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tidra::sys {

// One row of the kernel's TCP table. Ports are in host order.
struct TcpEntry {
    // The kernel's TCP state code (see the constants below).
    unsigned state = 0;
    std::uint16_t localPort = 0;
    std::uint16_t remotePort = 0;

    static constexpr unsigned kEstablished = 0x01;
    static constexpr unsigned kListen = 0x0A;

    bool operator==(const TcpEntry&) const = default;
};

// The TCP sockets of the reader's network namespace, IPv4 and IPv6, keyed by socket inode:
// the join key with the socket links in /proc/<pid>/fd. One table is a snapshot; read a new one
// for each round of questions rather than one per process.
class SocketTable {
public:
    // Reads <procRoot>/net/tcp and <procRoot>/net/tcp6; a missing or unreadable file adds
    // nothing (a kernel without IPv6 has no tcp6).
    static SocketTable read(const std::string& procRoot);

    // Adds the rows of one table text (header line first). Rows that do not parse, and rows
    // without an inode (sockets in TIME_WAIT belong to no process), are skipped.
    void add(std::string_view text);

    // The entry of a socket inode; nullptr when it is not a TCP socket of the table.
    const TcpEntry* find(std::uint64_t inode) const;
    std::size_t size() const { return entries_.size(); }

private:
    std::unordered_map<std::uint64_t, TcpEntry> entries_;
};

} // namespace tidra::sys
