#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tidra::CleanupCatalog {

// The npm cache folder configured in `home`/.npmrc or, failing that, in `globalConfigFiles`
// (read in this order). The first "cache" line with a value decides: its value, stripped of
// surrounding quotes, with a leading "~" (alone or before "/") and every "${HOME}" written as
// `home`, is the answer when it lies below `home` + "/", and otherwise nothing, without
// reading further. Unreadable or non-UTF-8 files are passed over.
std::optional<std::string> npmCacheFolder(const std::string& home, const std::vector<std::string>& globalConfigFiles);

} // namespace tidra::CleanupCatalog
