#pragma once

#include "settings/Preferences.h"

#include <QSettings>

namespace tidra {

// Preferences in an INI file, by default $XDG_CONFIG_HOME/Tidra/Tidra.conf. Each write is synced
// at once (QSettings replaces the file atomically), so a crash loses nothing the user set.
class LivePreferences final : public Preferences {
public:
  explicit LivePreferences(const QString& file = defaultFile());

  static QString defaultFile();

protected:
  std::optional<QVariant> stored(const QString& key) const override;
  void store(const QString& key, const QVariant& value) override;
  void erase(const QString& key) override;

private:
  QSettings settings;
};

}  // namespace tidra
