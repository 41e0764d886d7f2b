#pragma once

#include "settings/Preferences.h"

#include <QSettings>
#include <QVariantMap>

#include <memory>

namespace tidra {

// Preferences in an INI file, by default $XDG_CONFIG_HOME/Tidra/Tidra.conf. Each write is synced
// at once (QSettings replaces the file atomically), so a crash loses nothing the user set.
// Something other than a readable regular file of at most 1 MiB at that path (a FIFO, a
// device, a folder) is never opened: the run starts from the defaults and keeps what the user
// sets in memory only.
class LivePreferences final : public Preferences {
public:
  explicit LivePreferences(const QString& file = defaultFile());

  static QString defaultFile();

protected:
  std::optional<QVariant> stored(const QString& key) const override;
  void store(const QString& key, const QVariant& value) override;
  void erase(const QString& key) override;

private:
  // Nothing when the file could not be read.
  std::unique_ptr<QSettings> settings;
  QVariantMap unsaved;
};

}  // namespace tidra
