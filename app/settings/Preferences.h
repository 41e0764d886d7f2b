#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace tidra {

// The user's settings. A value the user stored wins; otherwise the registered default answers.
// Registered defaults live in memory only and are never written, so a later version can change
// a default for everyone who never touched the setting. Callers read at the moment of use and
// keep no copies.
class Preferences {
public:
  virtual ~Preferences() = default;

  void registerDefaults(const QVariantMap& values);

  // The stored value as kept (a settings file keeps text), else the registered default, else an
  // invalid QVariant. The typed readers below know how each kind is kept.
  QVariant value(const QString& key) const;
  // False or 0 when the key has neither a stored nor a registered value.
  bool boolValue(const QString& key) const;
  int intValue(const QString& key) const;
  // Nothing when the key is absent or does not hold a date (or a list of strings).
  std::optional<QDateTime> date(const QString& key) const;
  std::optional<QStringList> stringList(const QString& key) const;

  void setBool(const QString& key, bool value);
  void setInt(const QString& key, int value);
  void setDate(const QString& key, const QDateTime& value);
  // An empty list is stored as an empty list, not as "no value".
  void setStringList(const QString& key, const QStringList& value);
  void remove(const QString& key);

protected:
  virtual std::optional<QVariant> stored(const QString& key) const = 0;
  virtual void store(const QString& key, const QVariant& value) = 0;
  virtual void erase(const QString& key) = 0;

private:
  QVariantMap defaults;
};

}  // namespace tidra
