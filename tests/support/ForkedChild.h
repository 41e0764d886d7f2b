#pragma once

#include <functional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child and brings its answer back through a pipe, so a check may change
// process-wide state (user, mount namespace) without touching the test process. A child that
// crashes or exits without answering yields "<child failed: status N>".
std::string runInChild(const std::function<std::string()>& fn);

} // namespace tidra::test
