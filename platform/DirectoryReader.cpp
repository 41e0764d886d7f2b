#include "platform/DirectoryReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace tidra::sys {
namespace {

// The kernel's getdents64 record (glibc does not export it): inode, offset, record length,
// type, then the NUL-terminated name.
struct RecordHead {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
};
constexpr std::size_t nameOffset = 19;

DirectoryReader::Type typeOfEntry(unsigned char dType) {
    switch (dType) {
    case DT_UNKNOWN: return DirectoryReader::Type::unknown;
    case DT_REG: return DirectoryReader::Type::regular;
    case DT_DIR: return DirectoryReader::Type::directory;
    case DT_LNK: return DirectoryReader::Type::symlink;
    default: return DirectoryReader::Type::other;
    }
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

DirectoryReader::~DirectoryReader() { close(); }

bool DirectoryReader::open(const std::string& path) {
    close();
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return descriptor_ >= 0;
}

void DirectoryReader::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

char* DirectoryReader::buffer(std::size_t index) {
    while (buffers_.size() <= index) buffers_.push_back(std::make_unique<char[]>(bufferSize));
    return buffers_[index].get();
}

void DirectoryReader::collect(const char* data, std::size_t length) {
    for (std::size_t offset = 0; offset < length;) {
        RecordHead head;
        std::memcpy(&head, data + offset, sizeof head);
        const char* name = data + offset + nameOffset;
        offset += head.length;
        if (isDotOrDotDot(name)) continue;
        entries_.push_back({name, std::strlen(name), head.inode, typeOfEntry(head.type)});
    }
}

DirectoryReader::Result DirectoryReader::list() {
    entries_.clear();
    for (std::size_t batch = 0;; ++batch) {
        char* data = buffer(batch);
        const long length = ::syscall(SYS_getdents64, descriptor_, data, bufferSize);
        if (length == 0) return Result::complete;
        if (length < 0) return batch == 0 ? Result::unreadable : Result::broken;
        collect(data, std::size_t(length));
    }
}

} // namespace tidra::sys
