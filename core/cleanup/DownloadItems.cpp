#include "cleanup/CatalogBuilders.h"

#include "platform/PathText.h"

namespace tidra::CleanupCatalog {
namespace {

bool isInstaller(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return installerExtensions().contains(extension);
}

} // namespace

// Installers are offered one by one and only moved to the Trash: the user may still want one.
void downloads(Builder& b) {
    for (const auto& path : Builder::children(b.env.home + "/Downloads", isInstaller)) {
        const std::string name(sys::PathText::lastComponent(path));
        b.add({"download." + name, name, CleanupCategory::downloads, "Moved to the Trash, so you can still put it back.",
               Safety::review, 20'000'000},
              Builder::PathAction::trash, {path});
    }
}

} // namespace tidra::CleanupCatalog
