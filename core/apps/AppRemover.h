#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/PathGuard.h"
#include "platform/Outcome.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

// Moves application bundles to the Trash for an uninstall. Every bundle is judged by the
// guard's app-bundle rule first and then moved as judged. Bundles the user lacks the right to
// move are handed, all together, to the `finder` fallback, which moves them with
// administrator rights. An immutable value; safe to use from several threads.
class AppRemover {
public:
    // Moves one (judged, resolved) path to the Trash.
    using TrashMove = std::function<sys::Outcome(const std::string& path)>;
    // Moves the given paths to the Trash with administrator rights: nothing when it believes it
    // did, else a reason for the user. Its word is not trusted: the disk is checked afterwards.
    using AdminMove = std::function<std::optional<std::string>(const std::vector<std::string>& paths)>;

    // Empty closures take the working defaults: the freedesktop Trash of the guard's home
    // folder, and PrivilegedTrash (pkexec) into that Trash.
    explicit AppRemover(PathGuard guardian, TrashMove trash = {}, AdminMove finder = {});

    // Blocks, for as long as the password prompt is open too. `removed` counts the bundles that
    // went; failures come in path order, those of the fallback last. A bundle counts as removed
    // after the fallback only when it is truly gone; one that cannot be checked is a failure.
    CleanReport remove(const std::vector<std::string>& paths) const;

    // Whether a failed move means the user may not move the item (permission denied, operation
    // not permitted), so that administrator rights might do it.
    static bool isPermissionError(const sys::Outcome& outcome);

private:
    PathGuard guardian_;
    TrashMove trash_;
    AdminMove finder_;
};

} // namespace tidra
