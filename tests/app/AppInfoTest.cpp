#include "support/TestMain.h"
#include "AppInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace tidra;

class AppInfoTest : public QObject {
  Q_OBJECT

private slots:
  void theBuiltInInformationHasAVersionAndASite() {
    const AppInfo info = AppInfo::bundled();
    QVERIFY(!info.version.isEmpty());
    QVERIFY(QUrl(info.website).isValid());
    QVERIFY(info.updatePublicKey.isEmpty());  // no update framework to hand a key to
  }

  void entriesThatAreNotTextReadAsEmpty_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("website");
    QTest::addColumn<QString>("key");
    QTest::newRow("all text") << QByteArray(R"({"CFBundleShortVersionString":"2.1","TidraWebsite":"https://x.example",)"
                                            R"("SUPublicEDKey":"abc="})")
                              << "2.1" << "https://x.example" << "abc=";
    QTest::newRow("numbers and null")
        << QByteArray(R"({"CFBundleShortVersionString":2.1,"TidraWebsite":null,"SUPublicEDKey":["abc"]})") << ""
        << "" << "";
    QTest::newRow("absent") << QByteArray("{}") << "" << "" << "";
    QTest::newRow("not JSON") << QByteArray("version=2.1") << "" << "" << "";
    QTest::newRow("not an object") << QByteArray(R"(["2.1"])") << "" << "" << "";
  }
  void entriesThatAreNotTextReadAsEmpty() {
    QFETCH(QByteArray, json);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("info.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(json);
    file.close();
    const AppInfo info = AppInfo::read(path);
    QTEST(info.version, "version");
    QTEST(info.website, "website");
    QTEST(info.updatePublicKey, "key");
  }

  void aMissingFileReadsAsEmpty() {
    const AppInfo info = AppInfo::read(QStringLiteral("/nonexistent/info.json"));
    QVERIFY(info.version.isEmpty() && info.website.isEmpty() && info.updatePublicKey.isEmpty());
  }
};

TIDRA_TEST_MAIN(AppInfoTest)
#include "AppInfoTest.moc"
