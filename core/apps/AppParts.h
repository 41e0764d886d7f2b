#pragma once

#include "apps/InstalledApps.h"

#include <string>
#include <vector>

// Everything of one listed app in the home folder that leaves with it besides its main path
// (InstalledApp::mainPath): its footprint, what it installed into the user's desktop, and its
// own desktop and autostart entries. Reads folders only; safe from any thread.
namespace tidra::AppParts {

// Absolute paths below `home`, each once, the main path never among them:
// - AppFootprint::paths for the app's identifier and name, where the other `listed` apps
//   (told apart by path) and the commands of `commandFolders` that are not the app's own are
//   rivals for what only the name finds;
// - for the kinds a user installs (AppImage, program, Flatpak): the links in ~/.local/bin and
//   ~/bin that lead to the app or into its folder; the icons in
//   ~/.local/share/icons/hicolor/<size>/apps/ and the MIME packages in
//   ~/.local/share/mime/packages/ named exactly by the app's identifier or its icon name,
//   unless another listed app goes by that name too;
// - the app's launchers.
std::vector<std::string> of(const InstalledApp& app, const std::vector<InstalledApp>& listed, const std::string& home,
                            bool includeContainers, const std::vector<std::string>& commandFolders);

// The folders a person's commands are found in: $PATH's, then ~/.local/bin and ~/bin.
std::vector<std::string> commandFolders(const std::string& home);

} // namespace tidra::AppParts
