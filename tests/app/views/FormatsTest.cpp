#include "support/TestMain.h"
#include "views/Formats.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;

class FormatsTest : public QObject {
  Q_OBJECT

private slots:
  void tildePath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inside") << "/home/a/Projects" << "/home/a" << "~/Projects";
    QTest::newRow("the home itself") << "/home/a" << "/home/a" << "~";
    QTest::newRow("a sibling sharing the prefix") << "/home/ab/x" << "/home/a" << "/home/ab/x";
    QTest::newRow("outside") << "/opt/x" << "/home/a" << "/opt/x";
    QTest::newRow("root as home") << "/x" << "/" << "/x";
  }
  void tildePath() {
    QFETCH(QString, path);
    QFETCH(QString, home);
    QFETCH(QString, expected);
    QCOMPARE(Formats::tildePath(path.toStdString(), home.toStdString()), expected);
  }

  // A right-to-left override would make "…gpj.exe" read as "….jpg".
  void fileNamesShowReorderingControlsAndUndecodableBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QByteArray("report.pdf") << "report.pdf";
    QTest::newRow("right-to-left override") << QByteArray("holiday\xE2\x80\xAEgpj.exe") << "holiday\\u202Egpj.exe";
    QTest::newRow("isolate and mark") << QByteArray("a\xE2\x81\xA6" "b\xE2\x80\x8F") << "a\\u2066b\\u200F";
    QTest::newRow("Arabic letter mark") << QByteArray("x\xD8\x9C") << "x\\u061C";
    QTest::newRow("other scripts stay") << QByteArray("caf\xC3\xA9 \xD7\xA9\xD7\x9C") << QString::fromUtf8("café של");
    QTest::newRow("not UTF-8") << QByteArray("caf\xE9") << QString::fromUtf8("caf\uFFFD");
  }
  void fileNamesShowReorderingControlsAndUndecodableBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Formats::fileName(bytes.toStdString()), expected);
    QCOMPARE(Formats::tildePath("/home/a/" + bytes.toStdString(), "/home/a"), QStringLiteral("~/") + expected);
  }

  void relativeDate_data() {
    QTest::addColumn<qint64>("secondsAgo");
    QTest::addColumn<QString>("expected");
    QTest::newRow("now") << qint64(0) << "now";
    QTest::newRow("seconds") << qint64(42) << "42 seconds ago";
    QTest::newRow("one minute") << qint64(60) << "1 minute ago";
    QTest::newRow("hours") << qint64(3 * 3600 + 59) << "3 hours ago";
    QTest::newRow("yesterday") << qint64(86'400) << "yesterday";
    QTest::newRow("days") << qint64(6 * 86'400) << "6 days ago";
    QTest::newRow("last week") << qint64(7 * 86'400) << "last week";
    QTest::newRow("weeks") << qint64(20 * 86'400) << "2 weeks ago";
    QTest::newRow("months") << qint64(95 * 86'400) << "3 months ago";
    QTest::newRow("last year") << qint64(400 * 86'400) << "last year";
    QTest::newRow("tomorrow") << qint64(-86'400) << "tomorrow";
    QTest::newRow("in hours") << qint64(-7'200) << "in 2 hours";
  }
  void relativeDate() {
    QFETCH(qint64, secondsAgo);
    QFETCH(QString, expected);
    const Formats::Date now{std::chrono::seconds{1'800'000'000}};
    QCOMPARE(Formats::relativeDate(now - std::chrono::seconds(secondsAgo), now), expected);
  }

  // One way of writing a date on every screen, in the locale's own order.
  void dates_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("United States") << QLocale(QLocale::English, QLocale::UnitedStates) << "Jan 15, 2025";
    QTest::newRow("Britain") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "15 Jan 2025";
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << "15. Jan. 2025";
    QTest::newRow("C") << QLocale::c() << "15 Jan 2025";
  }
  void dates() {
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    const QDateTime noon(QDate(2025, 1, 15), QTime(12, 0));
    QCOMPARE(Formats::date(Formats::Date{std::chrono::seconds{noon.toSecsSinceEpoch()}}), expected);
  }

  void counts_data() {
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << qint64(0) << "0 files";
    QTest::newRow("one") << qint64(1) << "1 file";
    QTest::newRow("two") << qint64(2) << "2 files";
    QTest::newRow("grouped") << qint64(1204) << "1,204 files";
  }
  void counts() {
    QFETCH(qint64, number);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(Formats::count(number, "file", "files"), expected);
  }

  void sizesAndCounts() {
    QCOMPARE(Formats::bytes(85'400'000), QString("85.4 MB"));
    QCOMPARE(Formats::bytes(0), QString("0 bytes"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(Formats::grouped(412'000), QString("412,000"));
  }
};

TIDRA_TEST_MAIN(FormatsTest)
#include "FormatsTest.moc"
