#pragma once

#include <string>

namespace tidra::CleanupCatalog {

// Whether the system image the emulator in folder `avd` (a "<name>.avd" folder) was made from
// is still installed. False only when the first "image.sysdir.1" line of `avd`/config.ini
// names a folder that exists (links followed) neither under `home`/Library/Android/sdk/ nor
// under `home`/Android/Sdk/ (the SDK's usual place on Linux);
// true when the file cannot be read, is not UTF-8 or has no such line with a value.
bool avdSystemImageExists(const std::string& avd, const std::string& home);

} // namespace tidra::CleanupCatalog
