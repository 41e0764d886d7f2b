#include "support/InMemoryPreferences.h"

namespace tidra {

std::optional<QVariant> InMemoryPreferences::stored(const QString& key) const {
  const auto found = values.constFind(key);
  if (found == values.constEnd()) return std::nullopt;
  return *found;
}

void InMemoryPreferences::store(const QString& key, const QVariant& value) { values.insert(key, value); }

void InMemoryPreferences::erase(const QString& key) { values.remove(key); }

}  // namespace tidra
