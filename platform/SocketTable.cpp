#include "platform/SocketTable.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

namespace tidra::sys {
namespace {

template <typename Number>
bool parseNumber(std::string_view text, Number& out, int base) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out, base);
    return ec == std::errc() && ptr == end;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) return out;
        line.remove_prefix(start);
        const auto stop = line.find(' ');
        out.push_back(line.substr(0, stop));
        if (stop == std::string_view::npos) return out;
        line.remove_prefix(stop);
    }
}

// "0100007F:1F90" or a 32-digit IPv6 address, then ":" and the port in hexadecimal.
bool parsePort(std::string_view address, std::uint16_t& port) {
    const auto colon = address.rfind(':');
    return colon != std::string_view::npos && parseNumber(address.substr(colon + 1), port, 16);
}

// Columns: sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode ...
bool parseRow(std::string_view line, std::uint64_t& inode, TcpEntry& entry) {
    const auto columns = words(line);
    return columns.size() >= 10 && parsePort(columns[1], entry.localPort) &&
           parsePort(columns[2], entry.remotePort) && parseNumber(columns[3], entry.state, 16) &&
           parseNumber(columns[9], inode, 10) && inode != 0;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

SocketTable SocketTable::read(const std::string& procRoot) {
    SocketTable table;
    table.add(slurp(procRoot + "/net/tcp"));
    table.add(slurp(procRoot + "/net/tcp6"));
    return table;
}

void SocketTable::add(std::string_view text) {
    // The first line names the columns.
    const auto firstBreak = text.find('\n');
    if (firstBreak == std::string_view::npos) return;
    text.remove_prefix(firstBreak + 1);
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::uint64_t inode = 0;
        TcpEntry entry;
        if (parseRow(text.substr(0, end), inode, entry)) entries_[inode] = entry;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

const TcpEntry* SocketTable::find(std::uint64_t inode) const {
    const auto it = entries_.find(inode);
    return it == entries_.end() ? nullptr : &it->second;
}

} // namespace tidra::sys
