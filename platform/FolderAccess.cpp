#include "platform/FolderAccess.h"

#include <cerrno>
#include <dirent.h>

namespace tidra::sys {

bool canList(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    errno = 0;
    while (::readdir(dir)) {
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    return complete;
}

} // namespace tidra::sys
