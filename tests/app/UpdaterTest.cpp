#include "support/TestMain.h"
#include "AppInfo.h"
#include "Demo.h"
#include "Updater.h"
#include "support/FakeUpdateController.h"

#include <QTest>

using namespace tidra;
using tidra::test::FakeUpdateController;

class UpdaterTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { Demo::decide(false); }

  void controllerOnlyWithAKeyOutsideDemoScreenshotAndHome_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("created");
    QTest::newRow("key") << "abc=" << QStringList{"tidra"} << false << true;
    QTest::newRow("no key") << "" << QStringList{"tidra"} << false << false;
    QTest::newRow("demo") << "abc=" << QStringList{"tidra", "--demo", "yes"} << true << false;
    QTest::newRow("screenshot") << "abc=" << QStringList{"tidra", "--snapshot", "/tmp/s"} << false << false;
    QTest::newRow("--snapshot last counts as absent") << "abc=" << QStringList{"tidra", "--snapshot"} << false << true;
    QTest::newRow("home") << "abc=" << QStringList{"tidra", "--home", "/tmp/h"} << false << false;
    QTest::newRow("--home last still counts") << "abc=" << QStringList{"tidra", "--home"} << false << false;
  }
  void controllerOnlyWithAKeyOutsideDemoScreenshotAndHome() {
    QFETCH(QString, key);
    QFETCH(QStringList, arguments);
    QFETCH(bool, demo);
    QFETCH(bool, created);
    Demo::decide(demo);
    AppInfo info;
    info.updatePublicKey = key;
    QStringList keysSeen;
    const Updater updater(info, arguments, [&](const QString& publicKey) {
      keysSeen << publicKey;
      return std::make_unique<FakeUpdateController>();
    });
    QCOMPARE(updater.controller() != nullptr, created);
    QCOMPARE(keysSeen, created ? QStringList{key} : QStringList{});
  }

  void thisDesktopHasNoFramework() {
    AppInfo info;
    info.updatePublicKey = QStringLiteral("abc=");
    QVERIFY(Updater(info, {QStringLiteral("tidra")}).controller() == nullptr);
    QVERIFY(Updater(AppInfo::bundled(), {QStringLiteral("tidra")}).controller() == nullptr);
  }
};

TIDRA_TEST_MAIN(UpdaterTest)
#include "UpdaterTest.moc"
