#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tidra::StrictWalk {

// A walk for questions whose safe answer depends on seeing everything: any folder that cannot
// be listed, any entry whose attributes cannot be read and any mount point below the root end
// the walk as `failed`, never as a quiet gap. Links are never followed.

enum class Kind { file, directory, symlink, other };

// What the visitor wants after seeing an entry. `skip` leaves a folder unentered (no effect
// on other kinds); `stop` ends the walk at once.
enum class Step { descend, skip, stop };

enum class Result { finished, stopped, failed };

// `visit` gets the full path, the name and the kind of every entry below `root`; all entries
// of a folder come before anything inside its subfolders, which follow in listing order. `root` itself is not visited; a root that is not a folder
// (or is a link) fails.
using Visitor = std::function<Step(const std::string& path, std::string_view name, Kind kind)>;
Result walk(const std::string& root, const Visitor& visit);

} // namespace tidra::StrictWalk
