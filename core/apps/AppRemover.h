#pragma once

#include "apps/InstalledApps.h"
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
// administrator rights. Apps installed the Linux ways leave as their kind allows (see
// uninstall). An immutable value; safe to use from several threads.
class AppRemover {
public:
    // Moves one (judged, resolved) path to the Trash.
    using TrashMove = std::function<sys::Outcome(const std::string& path)>;
    // Moves the given paths to the Trash with administrator rights: nothing when it believes it
    // did, else a reason for the user. Its word is not trusted: the disk is checked afterwards.
    using AdminMove = std::function<std::optional<std::string>(const std::vector<std::string>& paths)>;
    // Uninstalls the user's Flatpak `id` from the per-user installation whose "app" folder is
    // `userFlatpaks`: nothing when the tool reports success, else a reason. Not trusted either.
    using FlatpakRemove = std::function<std::optional<std::string>(const std::string& id, const std::string& userFlatpaks)>;

    // Empty closures take the working defaults: the freedesktop Trash of the guard's home
    // folder, PrivilegedTrash (pkexec) into that Trash, and flatpakUninstall.
    explicit AppRemover(PathGuard guardian, TrashMove trash = {}, AdminMove finder = {}, FlatpakRemove flatpak = {});

    // Blocks, for as long as the password prompt is open too. `removed` counts the bundles that
    // went; failures come in path order, those of the fallback last. A bundle counts as removed
    // after the fallback only when it is truly gone; one that cannot be checked is a failure.
    CleanReport remove(const std::vector<std::string>& paths) const;

    // Uninstalls apps of every kind, reporting by app path. Bundles go as `remove` moves them
    // (their failures come last). An AppImage or a program goes to the Trash when the guard's
    // trash rule allows its path and it is one regular file, not a link and not this program;
    // a program with a folder goes as that whole folder, when it is a real folder (not a link)
    // that does not hold this program.
    // A user's Flatpak goes through `flatpak` when its path is a Flatpak folder of a per-user
    // installation inside the home folder, and counts as removed only once that folder is
    // gone. The system's apps (packages, system-wide Flatpaks, Snaps) are never touched: each
    // is a failure naming the package manager that owns it.
    CleanReport uninstall(const std::vector<InstalledApp>& apps) const;

    // Why the system's apps are left to their package managers ("Installed by the system's
    // package manager. Remove it there."); nothing for the kinds a user may remove.
    static std::optional<std::string> systemOwner(AppKind kind);

    // Runs `tool` uninstall --user --noninteractive <id> through the shell runner with
    // LinuxApps::uninstallLimit: nothing on success, else "flatpak could not be started", the
    // tool's trimmed error text, "timed out", or "exit code N".
    static std::optional<std::string> flatpakUninstall(const std::string& id, const std::string& userFlatpaks,
                                                       const std::string& tool = "/usr/bin/flatpak");

    // Whether a failed move means the user may not move the item (permission denied, operation
    // not permitted), so that administrator rights might do it.
    static bool isPermissionError(const sys::Outcome& outcome);

private:
    PathGuard guardian_;
    TrashMove trash_;
    AdminMove finder_;
    FlatpakRemove flatpak_;

    std::optional<std::string> removeFile(const std::string& path) const;
    std::optional<std::string> removeFolder(const std::string& path) const;
    std::optional<std::string> removeFlatpak(const std::string& path) const;
};

} // namespace tidra
