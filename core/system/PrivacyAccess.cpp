#include "system/PrivacyAccess.h"

#include "platform/FileAccess.h"

namespace tidra::PrivacyAccess {

bool hasFullDiskAccess(const std::string& home) { return sys::canList(home); }

std::set<std::string> appContainerFolders(const std::string& home) {
    return {home + "/Library/Containers", home + "/Library/Group Containers"};
}

} // namespace tidra::PrivacyAccess
