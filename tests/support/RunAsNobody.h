#pragma once

#include <functional>
#include <string>

namespace tidra::test {

// Runs `fn` in a forked child that drops to uid/gid 65534 (nobody) when running as root, so
// permission cases are real under CI's root. The child's answer comes back through a pipe.
// A child that crashes or exits without answering yields "<child failed: status N>".
std::string runAsNobody(const std::function<std::string()>& fn);

} // namespace tidra::test
