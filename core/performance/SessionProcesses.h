#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tidra::sys {
class ProcReader;
}

// The processes the running desktop session stands on. Quitting one of them ends or cripples
// the session and may take every unsaved document with it, so Tidra never offers to quit them
// and never signals them. Facts of the running session come first; names are the fallback
// for what the facts cannot show (a window manager owns no socket we can name).
namespace tidra::SessionProcesses {

// What the running session tells about itself.
struct Facts {
    // Tidra's own pid and the leader of its session.
    pid_t self = 0;
    pid_t sessionLeader = 0;
    // Paths of the session's listening sockets, abstract ones written with a leading "@".
    std::vector<std::string> sockets;

    // getpid(), getsid(0) and the sockets of this process's environment.
    static Facts live();
};

// The sockets an environment names: the X display's (":1" gives "/tmp/.X11-unix/X1" and its
// abstract twin; a display on another host gives none), the Wayland compositor's
// ($XDG_RUNTIME_DIR/$WAYLAND_DISPLAY unless it is a path already), each unix address of the
// session bus ("path=" and "abstract="), and the ssh agent's ($SSH_AUTH_SOCK).
std::vector<std::string> socketsOf(const std::map<std::string, std::string>& environment);

// The pids of the session's processes below the reader's root: `facts.self`, the session
// leader, the owners of the listening sockets (from <root>/net/unix and <root>/<pid>/fd), the
// processes whose executable (else kernel) name `isSessionName` knows, and every ancestor of
// each, init included. Processes of other users count as well: their pids are simply never
// ours to signal. A socket nobody owns adds nothing.
std::set<pid_t> read(const sys::ProcReader& reader, const Facts& facts);

// Inodes of the listening unix sockets at these paths in a <root>/net/unix text.
std::set<std::uint64_t> listeningInodes(std::string_view unixTable, const std::vector<std::string>& paths);

// The fallback by executable name: display servers, window managers and compositors, session
// managers, the session bus ("dbus-" anything), screen lockers, polkit and keyring agents,
// ssh and gpg agents, sound, the service manager, notification daemons, panels and tray hosts.
bool isSessionName(std::string_view name);

} // namespace tidra::SessionProcesses
