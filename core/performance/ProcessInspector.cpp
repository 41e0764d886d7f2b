#include "performance/ProcessInspector.h"

#include "platform/ProcReader.h"
#include "platform/SocketTable.h"

#include <algorithm>
#include <utility>

namespace tidra {
namespace {

TCPSocket::State stateOf(unsigned kernelState) {
    switch (kernelState) {
    case sys::TcpEntry::kListen: return TCPSocket::State::listening;
    case sys::TcpEntry::kEstablished: return TCPSocket::State::established;
    default: return TCPSocket::State::other;
    }
}

} // namespace

ProcessInspector::ProcessInspector(std::string procRoot)
    : reader_(std::make_unique<sys::ProcReader>(std::move(procRoot))) {}

ProcessInspector::~ProcessInspector() = default;

std::vector<std::string> ProcessInspector::arguments(pid_t pid) const { return reader_->arguments(pid); }

std::optional<std::string> ProcessInspector::workingDirectory(pid_t pid) const {
    return reader_->workingDirectory(pid);
}

std::vector<std::string> ProcessInspector::workingDirectories() const {
    std::vector<std::string> out;
    for (const pid_t pid : reader_->pids())
        if (auto folder = reader_->workingDirectory(pid)) out.push_back(std::move(*folder));
    return out;
}

const sys::SocketTable& ProcessInspector::socketTable() const {
    std::call_once(tableOnce_,
                   [this] { table_ = std::make_unique<sys::SocketTable>(sys::SocketTable::read(reader_->root())); });
    return *table_;
}

std::vector<TCPSocket> ProcessInspector::tcpSockets(pid_t pid) const {
    std::vector<TCPSocket> out;
    const auto inodes = reader_->socketInodes(pid);
    if (inodes.empty()) return out;
    const sys::SocketTable& table = socketTable();
    for (const auto inode : inodes)
        if (const sys::TcpEntry* entry = table.find(inode))
            out.push_back({stateOf(entry->state), entry->localPort, entry->remotePort});
    return out;
}

} // namespace tidra
