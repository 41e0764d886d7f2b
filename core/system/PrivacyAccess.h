#pragma once

#include <set>
#include <string>

namespace tidra::PrivacyAccess {

// Linux has no full-disk-access consent: granted whenever the home folder can be listed.
bool hasFullDiskAccess(const std::string& home);

// The app container folders a search leaves out without full disk access:
// home + "/Library/Containers" and home + "/Library/Group Containers".
std::set<std::string> appContainerFolders(const std::string& home);

} // namespace tidra::PrivacyAccess
