#pragma once

#include <plist/plist.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace tidra::test {

// A fixture home: a fresh temporary folder (mode 0755, so a child running as nobody can
// enter it) removed with everything in it when the fixture goes. Every relative path is
// taken below the root and parent folders are made as needed.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& root() const { return root_; }
    // root + "/" + relative, or the root itself for an empty relative path.
    std::string path(const std::string& relative) const;

    std::string dir(const std::string& relative, mode_t mode = 0755);
    // A file of `bytes` bytes, really allocated (written, not sparse).
    std::string file(const std::string& relative, std::int64_t bytes = 0);
    // A file with exactly this content.
    std::string text(const std::string& relative, const std::string& content);
    std::string symlink(const std::string& relative, const std::string& target);
    // A second name for an existing file of the fixture.
    std::string hardlink(const std::string& relative, const std::string& existingRelative);
    // A copy-on-write clone of an existing file of the fixture, sharing its data (FICLONE, as
    // `cp --reflink=always`); only where the file system can share extents (btrfs, XFS).
    std::string clone(const std::string& relative, const std::string& existingRelative);
    void chmod(const std::string& relative, mode_t mode);
    void setModified(const std::string& relative, std::chrono::system_clock::time_point when);
    // Writes a property list, XML or binary, and frees `root`.
    std::string plist(const std::string& relative, plist_t root, bool binary = false);

private:
    void makeParents(const std::string& absolute);
    std::string root_;
};

} // namespace tidra::test
