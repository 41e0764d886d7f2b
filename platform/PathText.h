#pragma once

#include <string_view>

// Splitting a path at its last "/" as plain text: nothing is looked up on disk, "." and ".."
// are names like any other, and repeated slashes are not folded. The views point into the
// caller's path and live as long as it does.
namespace tidra::sys::PathText {

// The text after the last "/": the whole path when it has none ("a" → "a"), empty when the
// path ends in "/" ("/a/" → "", "/" → "").
std::string_view lastComponent(std::string_view path);

// The text before the last "/": "/" for an entry of the root folder ("/a" → "/", "/" → "/"),
// "/a/b" for "/a/b/", and empty when the path has no "/" at all ("a" → ""), so a caller
// chooses what a bare name lives in.
std::string_view parentFolder(std::string_view path);

} // namespace tidra::sys::PathText
