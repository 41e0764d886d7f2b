#include "settings/Preferences.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tidra {

namespace {

// A settings file keeps dates as ISO 8601 text with milliseconds.
std::optional<QDateTime> parseDate(const QVariant& value) {
  if (value.typeId() == QMetaType::QDateTime) return value.toDateTime();
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  const auto date = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
  if (!date.isValid()) return std::nullopt;
  return date;
}

// A settings file keeps lists as a JSON array of strings.
std::optional<QStringList> parseList(const QVariant& value) {
  if (value.typeId() == QMetaType::QStringList) return value.toStringList();
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  const auto document = QJsonDocument::fromJson(value.toString().toUtf8());
  if (!document.isArray()) return std::nullopt;
  QStringList list;
  for (const auto item : document.array()) {
    if (!item.isString()) return std::nullopt;
    list << item.toString();
  }
  return list;
}

}  // namespace

void Preferences::registerDefaults(const QVariantMap& values) { defaults.insert(values); }

QVariant Preferences::value(const QString& key) const {
  if (auto own = stored(key)) return *own;
  return defaults.value(key);
}

bool Preferences::boolValue(const QString& key) const { return value(key).toBool(); }

int Preferences::intValue(const QString& key) const { return value(key).toInt(); }

std::optional<QDateTime> Preferences::date(const QString& key) const { return parseDate(value(key)); }

std::optional<QStringList> Preferences::stringList(const QString& key) const { return parseList(value(key)); }

void Preferences::setBool(const QString& key, bool value) { store(key, value); }

void Preferences::setInt(const QString& key, int value) { store(key, value); }

void Preferences::setDate(const QString& key, const QDateTime& value) { store(key, value); }

void Preferences::setStringList(const QString& key, const QStringList& value) { store(key, value); }

void Preferences::remove(const QString& key) { erase(key); }

}  // namespace tidra
