#pragma once

#include <string>
#include <variant>

namespace tidra {

// The rule set every removal and every move to the Trash passes before it touches the disk.
// It judges a path by its place relative to the home folder and a few fixed tables; it reads
// the disk only where a rule needs to (is a top-level entry a folder, is an app bundle real).
// An immutable value: safe to share between threads.
struct PathGuard {
    struct Verdict {
        struct Refused {
            // Shown unchanged next to the path.
            std::string reason;
            bool operator==(const Refused&) const = default;
        };
        struct Allowed {
            bool operator==(const Allowed&) const = default;
        };

        std::variant<Refused, Allowed> value;

        static Verdict allowed() { return {Allowed{}}; }
        static Verdict refused(std::string reason) { return {Refused{std::move(reason)}}; }
        bool isAllowed() const { return std::holds_alternative<Allowed>(value); }
        // The refusal text; empty when allowed.
        std::string reason() const;

        bool operator==(const Verdict&) const = default;
    };

    // Both folders are resolved fully (links included). A home that is empty, relative or "/"
    // leaves the guard refusing everything. `ownExecutable` is the program's own file, which
    // checkTrashApp never lets go; by default the one behind /proc/self/exe.
    PathGuard(const std::string& home, const std::string& systemApplications,
              const std::string& ownExecutable = runningExecutable());

    // Resolved home folder; empty when the given one was unusable.
    const std::string& home() const { return home_; }
    const std::string& systemApplications() const { return systemApplications_; }

    // May this path be removed for good? (Asked for each entry of a folder being emptied.)
    Verdict checkDelete(const std::string& path) const;
    // May this path be moved to the Trash?
    Verdict checkTrash(const std::string& path) const;
    // May this application bundle be moved to the Trash?
    Verdict checkTrashApp(const std::string& path) const;

    // The place the kernel would act on: ".." and links above the last component are resolved
    // as the kernel resolves them (the existing part through realpath, the missing rest folded
    // as text); the last component stays as it is, so a link is judged as the link. Trailing
    // slashes and "." go. Empty for an empty or relative path and for one holding a NUL byte. Callers act on exactly this
    // result, opening it without following links, so what is judged is what is touched.
    static std::string normalize(const std::string& path);

    // The resolved path of the running program, or empty when it cannot be read.
    static std::string runningExecutable();

private:
    // Shared opening of the two home rules: the path relative to home, or the refusal.
    std::variant<std::string, Verdict> relativeToHome(const std::string& path) const;

    std::string home_;
    std::string systemApplications_;
    std::string ownExecutable_;
};

} // namespace tidra
