#pragma once

#include <QString>

namespace tidra {

// What the application says about itself: its version, its web site and the key that signs its
// updates. Read from a small JSON resource (its keys keep the names the product uses everywhere);
// an entry that is absent or not a string reads as empty.
struct AppInfo {
  QString version;          // "CFBundleShortVersionString"
  QString website;          // "TidraWebsite"
  QString updatePublicKey;  // "SUPublicEDKey"

  // From a file or resource path; a file that cannot be read or parsed gives all-empty info.
  static AppInfo read(const QString& path);
  // The information built into the program.
  static AppInfo bundled();
};

}  // namespace tidra
