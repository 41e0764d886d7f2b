#include "performance/ProcessInspector.h"

#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tidra {
namespace {

using test::FakeProc;
using test::TempHome;
using State = TCPSocket::State;

const char* kHeader = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";

std::string row(const std::string& local, const std::string& remote, const char* state, int inode) {
    return "   0: " + local + " " + remote + " " + state + " 00000000:00000000 00:00000000 00000000  1000 0 " +
           std::to_string(inode) + " 1 0 100 0 0 10 0\n";
}

TEST(ProcessInspectorTest, JoinsDescriptorsWithTheTcpTable) {
    TempHome home;
    FakeProc proc(home);
    const std::string any6 = "00000000000000000000000000000000";
    proc.setTcp(std::string(kHeader) + row("00000000:1F90", "00000000:0000", "0A", 1) +
                row("0100007F:1F90", "0100007F:FFFE", "01", 2) + row("0100007F:1F90", "0100007F:A000", "08", 3) +
                row("00000000:0BB8", "00000000:0000", "0A", 4));
    proc.setTcp6(std::string(kHeader) + row(any6 + ":1F90", any6 + ":0000", "0A", 5));
    proc.add({.pid = 7,
              .fds = {{9, "socket:[3]"}, {3, "socket:[1]"}, {4, "socket:[5]"}, {5, "socket:[99]"},
                      {6, "socket:[2]"}, {7, "socket:[4]"}, {8, "/dev/null"}}});
    proc.add({.pid = 8, .fds = {{0, "/dev/null"}}});

    const ProcessInspector inspector(proc.root());
    EXPECT_EQ(inspector.tcpSockets(7), (std::vector<TCPSocket>{{State::listening, 8080, 0},
                                                                {State::listening, 8080, 0},
                                                                {State::established, 8080, 65534},
                                                                {State::listening, 3000, 0},
                                                                {State::other, 8080, 40960}}));
    EXPECT_TRUE(inspector.tcpSockets(8).empty());
    EXPECT_TRUE(inspector.tcpSockets(404).empty());
}

TEST(ProcessInspectorTest, ListsWorkingDirectories) {
    TempHome home;
    FakeProc proc(home);
    proc.add({.pid = 1, .cwd = "/home/me/app"});
    proc.add({.pid = 2, .cwd = "/home/me/app"});
    proc.add({.pid = 3, .cwd = "/home/me/old (deleted)"});
    proc.add({.pid = 4});
    proc.add({.pid = 5, .cwd = "/"});
    const ProcessInspector inspector(proc.root());
    auto folders = inspector.workingDirectories();
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"/", "/home/me/app", "/home/me/app"}));
    EXPECT_EQ(inspector.workingDirectory(5), "/");
    EXPECT_FALSE(inspector.workingDirectory(3));
    EXPECT_FALSE(inspector.workingDirectory(4));
}

int listener(int family, int port) {
    const int fd = ::socket(family, SOCK_STREAM, 0);  // inherited by the child on purpose
    const int one = 1;
    if (family == AF_INET6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
    sockaddr_storage address{};
    socklen_t length = 0;
    if (family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        in->sin_family = AF_INET;
        in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        in->sin_port = htons(std::uint16_t(port));
        length = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
        in6->sin6_family = AF_INET6;
        in6->sin6_addr = in6addr_loopback;
        in6->sin6_port = htons(std::uint16_t(port));
        length = sizeof(sockaddr_in6);
    }
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 4) != 0) return -1;
    return fd;
}

int portOf(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

int client(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
}

// A shell waiting on its standard input, holding a server's sockets: IPv4 and IPv6 listeners on
// one port and the server ends of two connections.
TEST(ProcessInspectorTest, InspectsALiveServer) {
    TempHome home;
    const std::string folder = home.dir("server folder");
    const int v4 = listener(AF_INET, 0);
    ASSERT_GE(v4, 0);
    const int port = portOf(v4);
    const int v6 = listener(AF_INET6, port);
    ASSERT_GE(v6, 0) << "IPv6 loopback needed";
    const int clients[2] = {client(port), client(port)};
    ASSERT_GE(clients[0], 0);
    ASSERT_GE(clients[1], 0);
    const int accepted[2] = {::accept(v4, nullptr, nullptr), ::accept(v4, nullptr, nullptr)};
    int input[2], execDone[2];
    ASSERT_EQ(::pipe(input), 0);
    ASSERT_EQ(::pipe2(execDone, O_CLOEXEC), 0);
    ::fcntl(input[1], F_SETFD, FD_CLOEXEC);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(input[0], 0);
        if (::chdir(folder.c_str()) == 0) ::execl("/bin/sh", "/bin/sh", "-c", "read line", "tidra-test", "", nullptr);
        ::_exit(127);
    }
    for (const int fd : {v4, v6, accepted[0], accepted[1], input[0], execDone[1]}) ::close(fd);
    char byte;
    while (::read(execDone[0], &byte, 1) > 0) {}
    ::close(execDone[0]);

    const ProcessInspector inspector;
    EXPECT_EQ(inspector.arguments(pid), (std::vector<std::string>{"/bin/sh", "-c", "read line", "tidra-test", ""}));
    char real[PATH_MAX];
    ASSERT_NE(::realpath(folder.c_str(), real), nullptr);
    EXPECT_EQ(inspector.workingDirectory(pid), std::string(real));
    const auto folders = inspector.workingDirectories();
    EXPECT_NE(std::find(folders.begin(), folders.end(), real), folders.end());
    EXPECT_EQ(inspector.tcpSockets(pid), (std::vector<TCPSocket>{{State::listening, port, 0},
                                                                  {State::listening, port, 0},
                                                                  {State::established, port, portOf(clients[0])},
                                                                  {State::established, port, portOf(clients[1])}}));

    ::close(input[1]);  // the shell's read ends, and so does the shell
    int status = 0;
    ::waitpid(pid, &status, 0);
    for (const int fd : clients) ::close(fd);
    EXPECT_TRUE(inspector.arguments(pid).empty()) << "an ended process has no arguments";
}

} // namespace
} // namespace tidra
