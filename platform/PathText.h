#pragma once

#include <string_view>

// Paths as plain text: split at the last "/" and compared by their folders. Nothing is looked up
// on disk, "." and ".." are names like any other, and repeated slashes are not folded. The views
// point into the caller's path and live as long as it does.
namespace tidra::sys::PathText {

// The text after the last "/": the whole path when it has none ("a" → "a"), empty when the
// path ends in "/" ("/a/" → "", "/" → "").
std::string_view lastComponent(std::string_view path);

// The text before the last "/": "/" for an entry of the root folder ("/a" → "/", "/" → "/"),
// "/a/b" for "/a/b/", and empty when the path has no "/" at all ("a" → ""), so a caller
// chooses what a bare name lives in.
std::string_view parentFolder(std::string_view path);

// Whether `path` lies strictly below `folder`: whole names only, so "/home/al" holds
// "/home/al/x" but not "/home/alice/x" nor itself. Folders are written without a trailing "/":
// one written with it (the root "/" among them) holds nothing here, so a caller that means the
// whole tree says so itself; an empty folder holds nothing.
bool isInside(std::string_view path, std::string_view folder);

// `isInside`, or the folder itself (as written: "/a" is not at "/a/").
bool isAtOrInside(std::string_view path, std::string_view folder);

} // namespace tidra::sys::PathText
