#pragma once

#include "support/TempHome.h"

#include <QStringList>

namespace tidra::test {

// A home folder as a developer's looks to the cleanup and projects screens, in a fresh
// temporary folder: caches the cleanup selects by default, things it shows but leaves for the
// person to decide or does not show at all, a git project untouched for two months with
// node_modules (selected) and a Python environment (left for review), a Rust project changed
// today whose build output is too fresh to select, and personal files.
class CleanableHome {
public:
  CleanableHome();

  QString root() const { return QString::fromStdString(home.root()); }
  // What the cleanup screen selects by default, relative to the root.
  static QStringList cleanupSelects();
  // What the projects screen selects by default, relative to the root.
  static QStringList projectsSelects();

private:
  TempHome home;
};

}  // namespace tidra::test
