#include "support/TestMain.h"
#include "platform/AutostartEntry.h"
#include "platform/LoginItem.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tidra;

namespace {

QString write(const QString& file, const QByteArray& text, QFileDevice::Permissions mode = QFileDevice::ReadOwner |
                                                                                          QFileDevice::WriteOwner) {
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size()) return {};
  out.close();
  out.setPermissions(mode);
  return file;
}

const QFileDevice::Permissions executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

}  // namespace

// The open-at-login entry starts a program the desktop can still find after a build folder is
// gone, and shows under the launcher entry's name and icon.
class LoginItemTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  const QString running = QStringLiteral("/work/build/app/app/tidra");

  QString entry(const QString& name, const QString& exec) {
    return write(dir.filePath(name), "[Desktop Entry]\nType=Application\nName=Tidra\nExec=" + exec.toUtf8() + "\n");
  }

private slots:
  void theInstalledProgramWinsOverTheBuildFolder() {
    const QString installed = write(dir.filePath("tidra"), "#!/bin/sh\n", executable);
    QCOMPARE(LiveLoginItem::launchProgram(entry("a.desktop", '"' + installed + '"'), running), installed);
  }

  void withoutAUsableInstalledEntryTheRunningProgramStarts_data() {
    QTest::addColumn<QString>("installedEntry");
    const QString plain = write(dir.filePath("plain"), "data");
    QTest::newRow("nothing installed") << QString();
    QTest::newRow("entry file missing") << dir.filePath("missing.desktop");
    QTest::newRow("program missing") << entry("b.desktop", dir.filePath("gone"));
    QTest::newRow("program not executable") << entry("c.desktop", plain);
    QTest::newRow("program looked up on PATH") << entry("d.desktop", "tidra");
    QTest::newRow("no Exec=") << write(dir.filePath("e.desktop"), "[Desktop Entry]\nName=Tidra\n");
  }

  void withoutAUsableInstalledEntryTheRunningProgramStarts() {
    QFETCH(QString, installedEntry);
    QCOMPARE(LiveLoginItem::launchProgram(installedEntry, running), running);
  }

  void theEntryNamesTheAppAndItsIcon() {
    const QString file = dir.filePath("autostart/tidra.desktop");
    QVERIFY(!LiveLoginItem(file, running).setEnabled(true));
    QSettings read(file, QSettings::IniFormat);
    read.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(read.value("Name").toString(), QStringLiteral("Tidra"));
    QCOMPARE(read.value("Icon").toString(), QStringLiteral("app.tidra.Tidra"));
    QCOMPARE(sys::readAutostartEntry(file.toStdString())->program, std::optional(running.toStdString()));
  }
};

TIDRA_TEST_MAIN(LoginItemTest)
#include "LoginItemTest.moc"
