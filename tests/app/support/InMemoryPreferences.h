#pragma once

#include "settings/Preferences.h"

namespace tidra {

// Preferences that live and die with the object: the tests' stand-in for the user's settings.
class InMemoryPreferences final : public Preferences {
public:
  // What was stored (registered defaults are not), for tests to inspect.
  const QVariantMap& storedValues() const { return values; }

protected:
  std::optional<QVariant> stored(const QString& key) const override;
  void store(const QString& key, const QVariant& value) override;
  void erase(const QString& key) override;

private:
  QVariantMap values;
};

}  // namespace tidra
