#include "settings/LivePreferences.h"

#include "platform/SmallFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <cerrno>

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

// QSettings opens the file blocking and of any kind: a FIFO there would hang the start. A
// missing file is fine, QSettings creates it.
bool isSafeToOpen(const QString& file) {
  int error = 0;
  sys::readSmallFile(QFile::encodeName(file).toStdString(), 1u << 20, &error);
  return error == 0 || error == ENOENT;
}

}  // namespace

LivePreferences::LivePreferences(const QString& file) {
  if (isSafeToOpen(file)) settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
}

QString LivePreferences::defaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Tidra/Tidra.conf");
}

std::optional<QVariant> LivePreferences::stored(const QString& key) const {
  if (!settings) return unsaved.contains(key) ? std::optional(unsaved.value(key)) : std::nullopt;
  if (!settings->contains(key)) return std::nullopt;
  return settings->value(key);
}

void LivePreferences::store(const QString& key, const QVariant& value) {
  if (!settings) {
    unsaved.insert(key, value);
    return;
  }
  settings->setValue(key, encoded(value));
  settings->sync();
}

void LivePreferences::erase(const QString& key) {
  if (!settings) {
    unsaved.remove(key);
    return;
  }
  settings->remove(key);
  settings->sync();
}

}  // namespace tidra
