#include "platform/LoginItem.h"

#include "platform/AutostartEntry.h"
#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tidra {

namespace {

// One word of Exec=: always quoted, with the characters that stay special inside quotes
// escaped, and "%" doubled so it is never read as a field code.
QString quotedWord(const QString& word) {
  QString out = QStringLiteral("\"");
  for (const QChar c : word) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') out += u'\\';
    out += c;
    if (c == u'%') out += u'%';
  }
  return out + u'"';
}

// The escapes of a desktop-file value, on top of the quoting of the Exec= word.
QString escapedValue(const QString& value) {
  QString out;
  for (const QChar c : value) {
    if (c == u'\\') out += QStringLiteral("\\\\");
    else if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\t') out += QStringLiteral("\\t");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else out += c;
  }
  return out;
}

}  // namespace

LiveLoginItem::LiveLoginItem(const QString& file, const QString& program) : file(file), program(program) {}

QString LiveLoginItem::defaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/autostart/tidra.desktop");
}

QString LiveLoginItem::defaultProgram() {
  return launchProgram(QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                              DesktopEntry::id() + QStringLiteral(".desktop")),
                       QCoreApplication::applicationFilePath());
}

QString LiveLoginItem::launchProgram(const QString& installedEntry, const QString& running) {
  if (installedEntry.isEmpty()) return running;
  const auto entry = sys::readAutostartEntry(QFile::encodeName(installedEntry).toStdString());
  if (!entry || !entry->program) return running;
  const QString program = QFile::decodeName(QByteArray::fromStdString(*entry->program));
  const QFileInfo file(program);
  return file.isAbsolute() && file.isFile() && file.isExecutable() ? program : running;
}

QString LiveLoginItem::entryText(const QString& program) {
  return QStringLiteral("[Desktop Entry]\nType=Application\nName=") + DesktopEntry::name() +
         QStringLiteral("\nExec=") + escapedValue(quotedWord(program)) + QStringLiteral("\nIcon=") +
         DesktopEntry::id() + QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
}

bool LiveLoginItem::isEnabled() const {
  const auto entry = sys::readAutostartEntry(QFile::encodeName(file).toStdString());
  return entry && entry->enabled && entry->program;
}

std::optional<QString> LiveLoginItem::setEnabled(bool on) {
  if (!on) {
    QFile existing(file);
    if (!existing.exists() || existing.remove()) return std::nullopt;
    return existing.errorString() + u'.';
  }
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) return QStringLiteral("Could not create the autostart folder.");
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) || out.write(entryText(program).toUtf8()) < 0 || !out.commit())
    return out.errorString() + u'.';
  return std::nullopt;
}

std::optional<QString> FakeLoginItem::setEnabled(bool on) {
  ++calls;
  if (failure) return failure;
  enabled = on;
  return std::nullopt;
}

}  // namespace tidra
