#pragma once

#include <functional>
#include <string>

namespace tidra::test {

// Makes `levels` nested folders called `name` below the existing folder `top`, one by one
// through descriptors, so the whole may reach past PATH_MAX and past any recursion depth.
// Answers the deepest folder's full path (which path-based calls may refuse as too long).
std::string makeDeepTree(const std::string& top, int levels, const std::string& name = "d");

// Removes a tree of any depth or path length, as `rm -rf` does; true when it is gone.
bool removeDeepTree(const std::string& path);

// Runs `fn` on a thread with a 128 KiB stack and answers what it answered, so code that recurses
// once per folder crashes on a deep tree. Meant for a forked child (runInMountNamespace, whose
// tmpfs also keeps deep trees quick to make and gone afterwards).
std::string onSmallStack(const std::function<std::string()>& fn);

} // namespace tidra::test
