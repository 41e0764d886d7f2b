#include "settings/LivePreferences.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

namespace tidra {

namespace {

// QSettings writes an empty list as "no value" and a one-item list as a plain string, and keeps
// dates in an opaque binary form; text of our own round-trips exactly and stays readable.
QVariant encoded(const QVariant& value) {
  if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
  if (value.typeId() == QMetaType::QStringList)
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(value.toStringList())).toJson(QJsonDocument::Compact));
  return value;
}

}  // namespace

LivePreferences::LivePreferences(const QString& file) : settings(file, QSettings::IniFormat) {}

QString LivePreferences::defaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Tidra/Tidra.conf");
}

std::optional<QVariant> LivePreferences::stored(const QString& key) const {
  if (!settings.contains(key)) return std::nullopt;
  return settings.value(key);
}

void LivePreferences::store(const QString& key, const QVariant& value) {
  settings.setValue(key, encoded(value));
  settings.sync();
}

void LivePreferences::erase(const QString& key) {
  settings.remove(key);
  settings.sync();
}

}  // namespace tidra
