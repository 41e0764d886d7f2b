#include "files/KeptFile.h"

#include "files/Sha256.h"
#include "platform/FileDetails.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tidra::KeptFile {
namespace {

std::optional<std::string> contentHash(int fd) {
    Sha256 digest;
    std::vector<unsigned char> buffer(1 << 20);
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || !digest.feed(buffer.data(), n)) return std::nullopt;
    }
    return digest.hex();
}

} // namespace

bool hasContent(const std::string& path, std::int64_t length, const std::string& hash) {
    // Non-blocking and without following a link: a FIFO or a link swapped in is no keeper.
    const sys::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat status {};
    if (!fd.ok() || ::fstat(fd.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != length) return false;
    return contentHash(fd.fd) == hash;
}

bool isUnchanged(const SimilarPhoto& photo) {
    const auto details = sys::FileDetails::of(photo.path);
    if (!details || !details->isRegular) return false;
    const auto modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(details->modifiedNanoseconds)));
    return CloneID::ownIdentity(details->device, details->inode) == photo.identity && modified == photo.modified;
}

} // namespace tidra::KeptFile
