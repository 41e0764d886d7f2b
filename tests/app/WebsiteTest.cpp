#include "support/TestMain.h"
#include "AppInfo.h"
#include "Website.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrlQuery>

using namespace tidra;

class WebsiteTest : public QObject {
  Q_OBJECT

private slots:
  void base_data() {
    QTest::addColumn<QString>("website");
    QTest::addColumn<QUrl>("base");
    const QUrl builtIn = Website::builtIn();
    QTest::newRow("given") << "https://tidra.example/app" << QUrl("https://tidra.example/app");
    QTest::newRow("absent") << "" << builtIn;
    QTest::newRow("relative") << "tidra.example" << builtIn;
    QTest::newRow("no host") << "https://" << builtIn;
    QTest::newRow("not a web address") << "mailto:team@tidra.example" << builtIn;
    QTest::newRow("broken") << "https://exa mple.com:port" << builtIn;
  }
  void base() {
    QFETCH(QString, website);
    QFETCH(QUrl, base);
    AppInfo info;
    info.website = website;
    QCOMPARE(Website::base(info), base);
  }

  void feedback_data() {
    QTest::addColumn<QString>("website");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("address");
    QTest::newRow("plain") << "https://tidra.example" << "2.1"
                           << "https://tidra.example/feedback?source=app&app=2.1&os=linux&osversion=12.4.0";
    QTest::newRow("folder base") << "https://tidra.example/en/" << "2.1"
                                 << "https://tidra.example/en/feedback?source=app&app=2.1&os=linux&osversion=12.4.0";
    QTest::newRow("path base") << "https://tidra.example/en" << "2.1"
                               << "https://tidra.example/en/feedback?source=app&app=2.1&os=linux&osversion=12.4.0";
    QTest::newRow("no version") << "https://tidra.example" << ""
                                << "https://tidra.example/feedback?source=app&app=&os=linux&osversion=12.4.0";
    QTest::newRow("invalid base") << "::" << "2.1"
                                  << Website::builtIn().toString() + "/feedback?source=app&app=2.1&os=linux&osversion=12.4.0";
  }
  void feedback() {
    QFETCH(QString, website);
    QFETCH(QString, version);
    QFETCH(QString, address);
    AppInfo info;
    info.website = website;
    info.version = version;
    QCOMPARE(Website::feedback(info, QStringLiteral("12.4.0")).toString(), address);
  }

  void systemVersion_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("version");
    QTest::newRow("major only") << "12" << "6.1.0-18-amd64" << "12.0.0";
    QTest::newRow("leading zero") << "22.04" << "5.15.0" << "22.4.0";
    QTest::newRow("three parts") << "39.1.2" << "6.5.6" << "39.1.2";
    QTest::newRow("rolling: the kernel's") << "unknown" << "6.7.4-arch1-1" << "6.7.4";
    QTest::newRow("nothing known") << "" << "" << "0.0.0";
  }
  void systemVersion() {
    QFETCH(QString, product);
    QFETCH(QString, kernel);
    QTEST(Website::systemVersion(product, kernel), "version");
  }

  void theRunningSystemGivesThreeNumbers() {
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(Website::systemVersion()).hasMatch());
    const QUrlQuery query(Website::feedback(AppInfo{}));
    QCOMPARE(query.queryItemValue(QStringLiteral("os")), QStringLiteral("linux"));
    QCOMPARE(query.queryItemValue(QStringLiteral("osversion")), Website::systemVersion());
    QVERIFY(!query.hasQueryItem(QStringLiteral("macos")));
  }
};

TIDRA_TEST_MAIN(WebsiteTest)
#include "WebsiteTest.moc"
