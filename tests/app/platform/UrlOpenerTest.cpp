#include "support/TestMain.h"
#include "platform/UrlOpener.h"
#include "views/OpenFailureAlert.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace tidra;

// Opening an address is watched to its end: when nothing could open it (xdg-open ends in
// failure, or there is no launcher at all) the person is told, with the address to copy.
class UrlOpenerTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  // What the opener said failed; a member, as a launcher may end after its row.
  QList<QUrl> told;

  // A launcher that records its argument and ends with `code`.
  QString launcher(int code) {
    const QString path = dir.filePath(QStringLiteral("open-%1").arg(code));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly)) return {};
    // Written aside and moved into place, so the test never reads it half written.
    script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > \"%1.part\"\nmv \"%1.part\" \"%1.arg\"\nexit %2\n")
                     .arg(path)
                     .arg(code)
                     .toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
  }

private slots:
  void init() { told.clear(); }

  void failuresAreTold_andSuccessIsQuiet_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("fails");
    QTest::newRow("the launcher opened it") << launcher(0) << false;
    QTest::newRow("no method available") << launcher(3) << true;
    QTest::newRow("the action failed") << launcher(4) << true;
    QTest::newRow("the launcher cannot start") << dir.filePath(QStringLiteral("missing")) << true;
  }
  void failuresAreTold_andSuccessIsQuiet() {
    QFETCH(QString, program);
    QFETCH(bool, fails);
    const QUrl url(QStringLiteral("https://tidra.app/feedback?source=app&os=linux"));
    LiveUrlOpener opener(program);
    bool ended = false;
    opener.onFailure = [this](const QUrl& failed) { told << failed; };
    QVERIFY(opener.open(url));
    if (QFile::exists(program)) {
      QTRY_VERIFY(QFile::exists(program + ".arg"));
      QFile given(program + ".arg");
      QVERIFY(given.open(QIODevice::ReadOnly));
      QCOMPARE(QString::fromUtf8(given.readAll()), url.toString(QUrl::FullyEncoded));
      ended = true;
    }
    if (fails) QTRY_COMPARE(told, QList<QUrl>{url});
    else QVERIFY(ended && told.isEmpty());
  }

  void theMessageNamesWhatDidNotOpen_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("a folder") << QUrl::fromEncoded("file:///home/u/My%20Downloads") << "Could not show the folder"
                              << "No file manager opened /home/u/My Downloads. Set one up to open folders, or open it "
                                 "yourself.";
    QTest::newRow("the feedback page") << QUrl("https://tidra.app/feedback?os=linux") << "Could not open the page"
                                       << "No web browser opened https://tidra.app/feedback?os=linux. Set one up to "
                                          "open web addresses, or visit it yourself.";
  }
  void theMessageNamesWhatDidNotOpen() {
    QFETCH(QUrl, url);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QCOMPARE(OpenFailureAlert::title(url), title);
    QCOMPARE(OpenFailureAlert::message(url), message);
    QPointer<QWidget> alert = OpenFailureAlert::show(url, nullptr);
    QVERIFY(alert->isVisible());
    QCOMPARE(alert->findChild<QLabel*>("openFailureText")->text(), message);
    alert->close();
    QTRY_VERIFY(alert.isNull());  // it goes once closed
  }
};

TIDRA_TEST_MAIN(UrlOpenerTest)
#include "UrlOpenerTest.moc"
