#include "support/FakeProc.h"

#include <filesystem>

namespace tidra::test {

FakeProc::FakeProc(TempHome& home, const std::string& relative)
    : home_(home), relative_(relative), root_(home.dir(relative)) {}

void FakeProc::add(const FakeProcess& p) {
    remove(p.pid);
    const std::string dir = relative_ + "/" + std::to_string(p.pid);
    home_.text(dir + "/stat", std::to_string(p.pid) + " (" + p.comm + ") S " + std::to_string(p.parent) +
                                  " 1 1 0 -1 " + std::to_string(p.flags) + " 0 0 0 0 " + std::to_string(p.userTicks) +
                                  " " + std::to_string(p.systemTicks) + " 0 0 20 0 1 0 " +
                                  std::to_string(p.startTicks) + " 1000 10 18446744073709551615 0 0 0\n");
    const std::string uid = std::to_string(p.uid);
    home_.text(dir + "/status", "Name:\t" + p.comm + "\nState:\tS (sleeping)\nPPid:\t" + std::to_string(p.parent) +
                                    "\nUid:\t" + uid + "\t" + uid + "\t" + uid + "\t" + uid +
                                    "\nVmRSS:\t99999 kB\nRssAnon:\t" + std::to_string(p.anonKB) +
                                    " kB\nRssFile:\t5000 kB\nRssShmem:\t" + std::to_string(p.shmemKB) +
                                    " kB\nVmSwap:\t" + std::to_string(p.swapKB) + " kB\nThreads:\t1\n");
    home_.text(dir + "/cmdline", p.cmdline);
    if (p.exe) home_.symlink(dir + "/exe", *p.exe);
    if (p.cwd) home_.symlink(dir + "/cwd", *p.cwd);
    if (!p.cgroup.empty()) home_.text(dir + "/cgroup", "0::" + p.cgroup + "\n");
    home_.dir(dir + "/fd");
    for (const auto& [number, target] : p.fds) home_.symlink(dir + "/fd/" + std::to_string(number), target);
}

void FakeProc::remove(pid_t pid) { std::filesystem::remove_all(root_ + "/" + std::to_string(pid)); }

void FakeProc::setBootTime(std::int64_t secondsSince1970) {
    home_.text(relative_ + "/stat", "cpu  1 2 3 4\nintr 5\nctxt 6\nbtime " + std::to_string(secondsSince1970) +
                                        "\nprocesses 7\n");
}

void FakeProc::setTcp(const std::string& text) { home_.text(relative_ + "/net/tcp", text); }

void FakeProc::setTcp6(const std::string& text) { home_.text(relative_ + "/net/tcp6", text); }

void FakeProc::setUnix(const std::string& text) { home_.text(relative_ + "/net/unix", text); }

} // namespace tidra::test
