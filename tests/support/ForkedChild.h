#pragma once

#include <functional>
#include <string>

namespace tidra::test {

// Runs `setup` and then `fn` in a forked child and returns `fn`'s answer, which comes back
// through a pipe, so that changes of identity or mounts made in `setup` stay in the child.
// Answers "<setup failed>" when `setup` returns false, and "<child failed: status N>" when the
// child crashes or exits without answering.
std::string runInChild(const std::function<bool()>& setup, const std::function<std::string()>& fn);

} // namespace tidra::test
