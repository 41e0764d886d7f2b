#pragma once

#include "apps/InstalledApps.h"
#include "cleanup/CleanReport.h"
#include "cleanup/PathGuard.h"
#include "services/TrashMove.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// The engine calls behind installed apps, footprints and the app remover.
// Each entry is a std::function with a working live() default; tests replace single entries.
struct ApplicationServices {
  // The identifier of the bundle this program runs from; nothing when it runs from no bundle.
  std::function<std::optional<std::string>()> ownBundleID;
  // PrivacyAccess::hasFullDiskAccess: cheap, fine on the GUI thread.
  std::function<bool(const std::string& home)> hasFullDiskAccess;
  // InstalledApps::list over the bundle folders with the default last-opened source, and
  // LinuxApps::list over the home's Linux places (the system's too for the user's own home),
  // in one natural name order; never the running program itself. Blocks.
  std::function<std::vector<InstalledApp>(const std::string& home, const std::vector<std::string>& folders,
                                          const std::set<std::string>& excluding)>
      listApps;
  // AppParts::of over the commands of AppParts::commandFolders: what leaves with the app
  // besides its main path, given every listed app. Blocks; several may run at once.
  std::function<std::vector<std::string>(const InstalledApp& app, const std::vector<InstalledApp>& listed,
                                         const std::string& home, bool includeContainers)>
      footprint;
  // The installed size of one of the system's apps as its package manager tells it
  // (SystemAppSizes::bytes); nothing when it cannot be told. Blocks.
  std::function<std::optional<std::int64_t>(const InstalledApp& app)> installedSize;
  // Allocated bytes under one path, measured on its own (SizeScanner). Blocks.
  std::function<std::int64_t(const std::string& path)> measure;
  // AppRemover::uninstall with its default trash, administrator fallback and flatpak. Blocks,
  // also for as long as a password prompt is open. Failures name the apps' paths.
  std::function<CleanReport(const PathGuard& guardian, const std::vector<InstalledApp>& apps)> removeApps;
  // Moves an app's leftovers to the Trash, each judged by the guard first. Blocks.
  std::function<TrashOutcome(const PathGuard& guardian, const std::vector<std::string>& paths)> trashLeftovers;

  static ApplicationServices live();
};

}  // namespace tidra
