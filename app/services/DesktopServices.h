#pragma once

#include <memory>

namespace tidra {

class FolderChooser;
class Preferences;
class RunningApps;
class Thumbnailer;
class UrlOpener;

// The desktop parts the central model hands to the models it owns. Every part must be set;
// tests give fakes, the application its live parts.
struct DesktopServices {
  // Icons of process groups and file types; thumbnails for the photo models.
  std::shared_ptr<Thumbnailer> thumbnailer;
  std::shared_ptr<RunningApps> runningApps;
  // Opens the settings pages the diagnosis points to.
  std::shared_ptr<UrlOpener> urlOpener;
  std::shared_ptr<Preferences> preferences;
  std::shared_ptr<FolderChooser> folderChooser;
};

}  // namespace tidra
