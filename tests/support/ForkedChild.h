#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child and brings its answer back through a pipe, so a check may change
// process-wide state (user, mount namespace) without touching the test process. A child that
// crashes or exits without answering yields "<child failed: status N>".
std::string runInChild(const std::function<std::string()>& fn);

// Waits at most `limit` for the forked `child` to end and reaps it: its wait status, or nothing
// when it was still running, in which case it is killed and reaped, so a test that expected it
// to end fails within its limit instead of waiting forever and leaves nothing behind.
std::optional<int> waitForChild(pid_t child, std::chrono::milliseconds limit = std::chrono::seconds(20));

} // namespace tidra::test
