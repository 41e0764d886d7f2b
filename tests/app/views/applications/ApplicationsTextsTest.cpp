#include "support/TestMain.h"
#include "views/applications/ApplicationsTexts.h"

#include <QTest>

using namespace tidra;

namespace {

InstalledApp named(const std::string& name) { return {"/Applications/" + name + ".app", name, "id." + name, {}, {}, false}; }

}  // namespace

class ApplicationsTextsTest : public QObject {
  Q_OBJECT

private slots:
  // The list of names follows the person's locale.
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void footer() {
    QCOMPARE(ApplicationsTexts::scanningStatus(0, 0), "Looking for apps…");
    QCOMPARE(ApplicationsTexts::scanningStatus(12, 3), "Measuring 3 of 12…");
    QCOMPARE(ApplicationsTexts::readyStatus(0, 0), "0 apps, 0 bytes with their data");
    QCOMPARE(ApplicationsTexts::readyStatus(2, 1'500'000), "2 apps, 1.5 MB with their data");
    QCOMPARE(ApplicationsTexts::removingStatus(QStringLiteral("Slack")), "Uninstalling Slack…");
    QCOMPARE(ApplicationsTexts::removingStatus(std::nullopt), "Uninstalling …");
  }

  void lastOpened() {
    const auto now = std::chrono::system_clock::time_point{std::chrono::hours{24 * 1000}};
    QCOMPARE(ApplicationsTexts::lastOpened(std::nullopt, now), "Unknown");
    QCOMPARE(ApplicationsTexts::lastOpened(now - std::chrono::hours{24}, now), "yesterday");
  }

  void confirmationTitleAndMessage() {
    QCOMPARE(ApplicationsTexts::confirmationTitle({named("Slack")}), "Uninstall Slack?");
    QCOMPARE(ApplicationsTexts::confirmationTitle({named("A"), named("B"), named("C")}), "Uninstall 3 apps?");
    QCOMPARE(ApplicationsTexts::confirmationMessage(1, 2'000'000'000),
             "The app and what it keeps in your home folder move to the Trash, 2 GB in all. Open apps are asked to quit "
             "first. Untick anything you want to keep.");
    QVERIFY(ApplicationsTexts::confirmationMessage(3, 0).startsWith("Each app and what it keeps"));
    // A name that looks like a placeholder stays a name.
    QCOMPARE(ApplicationsTexts::confirmationTitle({named("%1 %2")}), "Uninstall %1 %2?");
  }

  void passwordNote_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{} << QString();
    QTest::newRow("one") << QStringList{"Xcode"}
                         << "The file manager asks for your password to move Xcode: it belongs to the system.";
    QTest::newRow("two") << QStringList{"Xcode", "Pages"}
                         << "The file manager asks for your password to move Xcode and Pages: they belong to the system.";
  }
  void passwordNote() {
    QFETCH(QStringList, names);
    QFETCH(QString, expected);
    QCOMPARE(ApplicationsTexts::passwordNote(names).value_or(QString()), expected);
  }

  void systemAppsStayAndSayWhy() {
    QCOMPARE(ApplicationsTexts::systemNote({}), std::nullopt);
    QCOMPARE(ApplicationsTexts::systemNote({"Text Editor"}).value_or(QString()),
             "Text Editor stays: the system installed it, so only its package manager removes it.");
    QCOMPARE(ApplicationsTexts::systemNote({"Text Editor", "Maps"}).value_or(QString()),
             "Text Editor and Maps stay: the system installed them, so only its package manager removes them.");
    auto snap = named("Snappy");
    snap.kind = AppKind::snap;
    snap.needsPassword = true;
    QCOMPARE(ApplicationsTexts::lockedHelp(snap), "Installed as a Snap. Remove it with snap.");
    QCOMPARE(ApplicationsTexts::lockedHelp(named("Xcode")), ApplicationsTexts::passwordHelp());
  }

  // A folder that holds a program but cannot be told to be only its stays, and the sheet says so.
  void aProgramsFolderThatStaysIsNamed() {
    auto tool = named("Toolbox");
    auto other = named("Go Tool");
    QCOMPARE(ApplicationsTexts::remainsNote({tool}, "/home/u"), std::nullopt);
    tool.remains = "/home/u/android-studio";
    other.remains = "/home/u/go";
    QCOMPARE(ApplicationsTexts::remainsNote({tool, other}, "/home/u").value_or(QString()),
             "~/android-studio stays: it holds Toolbox, but maybe more than Toolbox alone.\n"
             "~/go stays: it holds Go Tool, but maybe more than Go Tool alone.");
  }

  void partText_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isApp");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the bundle") << "/Applications/Slack.app" << true << "Slack.app";
    QTest::newRow("in the Library") << "/home/a/Library/Application Support/Slack" << false
                                    << "Application Support \u203A Slack";
    QTest::newRow("split after the first Library only") << "/home/a/Library/Caches/Library/x" << false
                                                         << "Caches \u203A Library \u203A x";
    QTest::newRow("a trailing slash adds nothing") << "/home/a/Library/Caches/com.x/" << false << "Caches \u203A com.x";
    QTest::newRow("no Library") << "/home/a/.config/Slack" << false << "~/.config/Slack";
    QTest::newRow("outside the home") << "/opt/slack" << false << "/opt/slack";
  }
  void partText() {
    QFETCH(QString, path);
    QFETCH(bool, isApp);
    QFETCH(QString, expected);
    QCOMPARE(ApplicationsTexts::partText(path.toStdString(), isApp, "/home/a"), expected);
  }

  void partHelp() {
    QCOMPARE(ApplicationsTexts::partHelp("/Applications/Slack.app", true, "/home/a"), "The app itself");
    QCOMPARE(ApplicationsTexts::partHelp("/home/a/Library/Caches/x", false, "/home/a"), "~/Library/Caches/x");
  }

  void banner_data() {
    QTest::addColumn<QStringList>("apps");
    QTest::addColumn<qint64>("trashed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("unrecorded");  // null: the history took it
    QTest::newRow("nothing") << QStringList{} << qint64(0) << "Nothing was uninstalled" << QString() << QString();
    QTest::newRow("one") << QStringList{"Slack"} << qint64(412'000'000) << "Moved Slack to the Trash"
                         << "412 MB comes back when you empty the Trash." << QString();
    QTest::newRow("three") << QStringList{"A", "B", "C"} << qint64(1'000'000) << "Moved 3 apps to the Trash"
                           << "1 MB comes back when you empty the Trash." << QString();
    QTest::newRow("moved but unmeasured") << QStringList{"A"} << qint64(0) << "Moved A to the Trash" << QString()
                                          << QString();
    QTest::newRow("unrecorded") << QStringList{"Slack"} << qint64(412'000'000) << "Moved Slack to the Trash"
                                << "412 MB comes back when you empty the Trash. It could not be added to the history "
                                   "(disk full); Tidra adds it after the next removal."
                                << "disk full";
    QTest::newRow("unrecorded and unmeasured")
        << QStringList{"A"} << qint64(0) << "Moved A to the Trash"
        << "It could not be added to the history (disk full); Tidra adds it after the next removal." << "disk full";
  }
  void banner() {
    QFETCH(QStringList, apps);
    QFETCH(qint64, trashed);
    QFETCH(QString, title);
    QFETCH(QString, detail);
    QFETCH(QString, unrecorded);
    UninstallSummary summary;
    for (const auto& app : apps) summary.apps.push_back(app.toStdString());
    summary.trashed = trashed;
    QCOMPARE(ApplicationsTexts::bannerTitle(summary), title);
    const auto problem = unrecorded.isNull() ? std::nullopt : std::optional(unrecorded.toStdString());
    QCOMPARE(ApplicationsTexts::bannerDetail(summary, problem).value_or(QString()), detail);
  }

  void failures() {
    QCOMPARE(ApplicationsTexts::stayedLabel(1), "1 item stayed");
    QCOMPARE(ApplicationsTexts::stayedLabel(2), "2 items stayed");
    QCOMPARE(ApplicationsTexts::failureLine({"/home/a/Library/Caches/x", "is in use"}, "/home/a"),
             "~/Library/Caches/x: is in use");
  }
};

TIDRA_TEST_MAIN(ApplicationsTextsTest)
#include "ApplicationsTextsTest.moc"
