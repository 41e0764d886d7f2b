#include "cleanup/JavaScriptItems.h"

#include "cleanup/AdminCleanup.h"
#include "cleanup/CatalogBuilders.h"
#include "cleanup/SettingsText.h"
#include "platform/SmallFile.h"

#include <algorithm>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

constexpr std::size_t maximumConfigBytes = 1 << 20;

Builder::Entry javascriptEntry(const char* id, const char* title, const char* consequence) {
    return {id, title, CleanupCategory::javascript, consequence, Safety::safe};
}

std::string withoutQuotes(const std::string& value) {
    const auto first = value.find_first_not_of("\"'");
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of("\"'") - first + 1);
}

std::string expandedHome(std::string value, const std::string& home) {
    if (value == "~" || value.starts_with("~/")) value.replace(0, 1, home);
    const std::string variable = "${HOME}";
    for (auto at = value.find(variable); at != std::string::npos; at = value.find(variable, at + home.size()))
        value.replace(at, variable.size(), home);
    return value;
}

std::vector<std::string> npmCandidates(const Builder& b) {
    const std::string& home = b.env.home;
    std::vector<std::string> folders{home + "/.npm"};
    const auto configured = npmCacheFolder(home, b.env.globalNpmConfigFiles);
    if (configured && *configured != folders.front()) folders.push_back(*configured);
    std::vector<std::string> candidates;
    for (const auto& folder : folders)
        for (const char* name : {"/_cacache", "/_npx", "/_logs"}) candidates.push_back(folder + name);
    return candidates;
}

// A Yarn run as root leaves its cache in a system folder. The cleaner refuses anything
// outside the home folder, so when the administrator removal may take it, it has to go that
// way even if the user could delete it.
void addRootYarnCache(Builder& b) {
    if (!b.add(javascriptEntry("yarn.cache.root", "Yarn cache left behind by sudo",
                               "None. Yarn only uses it when it runs as root."),
               PathAction::remove, b.env.rootYarnCaches))
        return;
    const auto paths = b.items.back().action.paths();
    const bool forAdmin = std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return !path.starts_with(b.env.home + "/") && AdminCleanup::allowedPaths().contains(path);
    });
    if (forAdmin) b.items.back().requiresAdmin = true;
}

} // namespace

std::optional<std::string> npmCacheFolder(const std::string& home, const std::vector<std::string>& globalConfigFiles) {
    std::vector<std::string> files{home + "/.npmrc"};
    files.insert(files.end(), globalConfigFiles.begin(), globalConfigFiles.end());
    for (const auto& file : files) {
        const auto text = sys::readSmallFile(file, maximumConfigBytes);
        if (!text) continue;
        const auto setting = SettingsText::value(*text, "cache");
        if (!setting) continue;
        const std::string folder = expandedHome(withoutQuotes(*setting), home);
        if (folder.starts_with(home + "/")) return folder;
        return std::nullopt;
    }
    return std::nullopt;
}

void javascript(Builder& b) {
    const std::string& home = b.env.home;
    b.add(javascriptEntry("npm.cache", "npm cache", "Packages download again on the next install."), PathAction::remove,
          npmCandidates(b));
    // Yarn 1 keeps its cache in ~/.cache/yarn on Linux (src/constants.js, getCacheDir); Yarn 2
    // and later share one global cache in ~/.yarn/berry/cache (the enableGlobalCache and
    // globalFolder settings of .yarnrc.yml).
    b.add(javascriptEntry("yarn.cache", "Yarn cache", "Packages download again on the next install."),
          PathAction::remove, {home + "/Library/Caches/Yarn", home + "/.cache/yarn", home + "/.yarn/berry/cache"});
    addRootYarnCache(b);
    // Bun's "Global cache" page: installs keep packages in ~/.bun/install/cache.
    b.add(javascriptEntry("bun.cache", "Bun cache", "Packages download again on the next install."),
          PathAction::remove, {home + "/.bun/install/cache"});
    // nvm keeps the Node.js archives and sources it downloaded in $NVM_DIR/.cache, ~/.nvm by
    // default (its README: "nvm cache clear"); the installed versions stay.
    b.add(javascriptEntry("nvm.cache", "nvm downloads",
                          "Node.js versions download again the next time nvm installs one."),
          PathAction::remove, {home + "/.nvm/.cache"});
    b.add(javascriptEntry("puppeteer.browsers", "Puppeteer browser downloads",
                          "Each project needs \"npx puppeteer browsers install\" before it next runs."),
          PathAction::removeContents, {home + "/.cache/puppeteer"});
    b.add(javascriptEntry("playwright.browsers", "Playwright browser downloads",
                          "Each project needs \"npx playwright install\" before it next runs."),
          // Playwright's browsers page: ~/.cache/ms-playwright on Linux.
          PathAction::remove, {home + "/Library/Caches/ms-playwright", home + "/.cache/ms-playwright"});
    // On Linux node-gyp keeps its headers in ~/.cache/node-gyp (its README, "devdir"), and the
    // TypeScript server its type downloads in ~/.cache/typescript (typingsInstaller's
    // getGlobalTypingsCacheLocation).
    b.add(javascriptEntry("node.buildCaches", "Node build caches", "Rebuilt on demand."), PathAction::remove,
          {home + "/Library/Caches/node-gyp", home + "/Library/Caches/typescript", home + "/.cache/node-gyp",
           home + "/.cache/typescript"});
}

} // namespace tidra::CleanupCatalog
