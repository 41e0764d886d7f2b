#pragma once

#include <optional>
#include <string>

namespace tidra::CleanupCatalog {

// The version of the Flutter SDK in folder `sdk` (no trailing "/"): the trimmed text of
// `sdk`/version when it is UTF-8 and not blank, else the "frameworkVersion" string of
// `sdk`/bin/cache/flutter.version.json, else its "flutterVersion" string. Nothing when
// neither file gives one (missing, unreadable, not JSON, no such string member).
std::optional<std::string> flutterVersion(const std::string& sdk);

} // namespace tidra::CleanupCatalog
