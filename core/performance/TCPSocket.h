#pragma once

namespace tidra {

// One TCP socket of a process.
struct TCPSocket {
    enum class State { listening, established, other };

    State state = State::other;
    // Host order, 0 to 65535.
    int localPort = 0;
    // Host order; 0 for a listening socket.
    int remotePort = 0;

    bool operator==(const TCPSocket&) const = default;
};

} // namespace tidra
