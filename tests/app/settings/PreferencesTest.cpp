#include "support/TestMain.h"
#include "support/InMemoryPreferences.h"
#include "settings/LivePreferences.h"
#include "settings/Preference.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using namespace tidra;

namespace {

// The same expectations hold for the settings file and the in-memory stand-in.
struct Subject {
  QTemporaryDir folder;
  QString file = folder.filePath(QStringLiteral("Tidra/Tidra.conf"));
  std::unique_ptr<Preferences> preferences;

  explicit Subject(bool live) {
    if (live) preferences = std::make_unique<LivePreferences>(file);
    else preferences = std::make_unique<InMemoryPreferences>();
  }
  // What a later run sees: the file as written, read afresh (with the defaults registered, as
  // every run does), or the same object in memory. The file is read through a copy, because
  // QSettings serves a path it already knows from its in-process cache, not from the disk.
  Preferences& reread() {
    if (dynamic_cast<LivePreferences*>(preferences.get()) == nullptr) return *preferences;
    const QString copy = folder.filePath(QStringLiteral("copy%1.conf").arg(++copies));
    QFile::copy(file, copy);
    second = std::make_unique<LivePreferences>(copy);
    Preference::registerDefaults(*second);
    return *second;
  }

private:
  std::unique_ptr<LivePreferences> second;
  int copies = 0;
};

void addSubjects() {
  QTest::addColumn<bool>("live");
  QTest::newRow("settings file") << true;
  QTest::newRow("in memory") << false;
}

}  // namespace

class PreferencesTest : public QObject {
  Q_OBJECT

private slots:
  void defaultsAnswerWithoutBeingWritten_data() { addSubjects(); }
  void defaultsAnswerWithoutBeingWritten() {
    QFETCH(bool, live);
    Subject subject(live);
    Preferences& preferences = *subject.preferences;
    Preference::registerDefaults(preferences);

    for (const QString& key : {Preference::showInMenuBar, Preference::alertWhenMemoryIsTight,
                               Preference::alertWhenDiskIsLow, Preference::weeklyReport,
                               Preference::alertWhenDevServerIsIdle, Preference::persistenceIgnoreState})
      QVERIFY2(preferences.boolValue(key), qPrintable(key));
    for (const QString& key : {Preference::weeklyAutoClean, Preference::stopIdleDevServers}) {
      QVERIFY2(!preferences.boolValue(key), qPrintable(key));
      QVERIFY2(preferences.value(key).isValid(), qPrintable(key));
    }
    QCOMPARE(preferences.intValue(Preference::devServerIdleHours), 2);
    QVERIFY(!preferences.date(Preference::lastWeeklyCheck));
    QVERIFY(!preferences.stringList(Preference::projectRoots));

    if (live) QVERIFY(!QFile::exists(subject.file));
    else QVERIFY(static_cast<InMemoryPreferences&>(preferences).storedValues().isEmpty());
  }

  void aStoredValueWinsUntilRemoved_data() { addSubjects(); }
  void aStoredValueWinsUntilRemoved() {
    QFETCH(bool, live);
    Subject subject(live);
    Preference::registerDefaults(*subject.preferences);
    subject.preferences->setBool(Preference::showInMenuBar, false);
    subject.preferences->setInt(Preference::devServerIdleHours, 6);
    Preferences& fresh = subject.reread();
    QCOMPARE(fresh.boolValue(Preference::showInMenuBar), false);
    QCOMPARE(fresh.intValue(Preference::devServerIdleHours), 6);
    QCOMPARE(fresh.boolValue(Preference::weeklyReport), true);

    subject.preferences->remove(Preference::showInMenuBar);
    QCOMPARE(subject.reread().boolValue(Preference::showInMenuBar), true);
  }

  void datesRoundTrip_data() { addSubjects(); }
  void datesRoundTrip() {
    QFETCH(bool, live);
    Subject subject(live);
    const QDateTime moments[] = {
        QDateTime(QDate(2026, 3, 29), QTime(1, 30, 15, 250), Qt::UTC),
        QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 999), Qt::OffsetFromUTC, -5 * 3600),
    };
    for (const QDateTime& moment : moments) {
      subject.preferences->setDate(Preference::lastWeeklyCheck, moment);
      const auto read = subject.reread().date(Preference::lastWeeklyCheck);
      QVERIFY(read);
      QCOMPARE(read->toMSecsSinceEpoch(), moment.toMSecsSinceEpoch());
    }
  }

  void listsRoundTrip_data() {
    QTest::addColumn<bool>("live");
    QTest::addColumn<QStringList>("list");
    for (bool live : {true, false}) {
      const char* where = live ? "file" : "memory";
      QTest::addRow("%s: empty", where) << live << QStringList{};
      QTest::addRow("%s: one", where) << live << QStringList{"/home/dev/Projects"};
      QTest::addRow("%s: commas, quotes, blanks", where)
          << live << QStringList{"/a,b", "/c \"d\"", " /e ", "", "/ü/日本"};
    }
  }
  void listsRoundTrip() {
    QFETCH(bool, live);
    QFETCH(QStringList, list);
    Subject subject(live);
    subject.preferences->setStringList(Preference::projectRoots, list);
    const auto read = subject.reread().stringList(Preference::projectRoots);
    QVERIFY(read);
    QCOMPARE(*read, list);
  }

  void otherKindsAreNotDatesOrLists_data() { addSubjects(); }
  void otherKindsAreNotDatesOrLists() {
    QFETCH(bool, live);
    Subject subject(live);
    subject.preferences->setBool(Preference::projectRoots, true);
    subject.preferences->setInt(Preference::lastWeeklyCheck, 7);
    QVERIFY(!subject.reread().stringList(Preference::projectRoots));
    QVERIFY(!subject.reread().date(Preference::lastWeeklyCheck));
  }

  // Opening a FIFO blocks until a writer comes: the start would hang for good.
  void aSettingsFileThatIsNoRegularFileIsLeftAloneForTheDefaults_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("folder") << QStringLiteral("folder");
  }
  void aSettingsFileThatIsNoRegularFileIsLeftAloneForTheDefaults() {
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Tidra.conf"));
    const QByteArray name = QFile::encodeName(file);
    QVERIFY(kind == u"fifo" ? ::mkfifo(name.constData(), 0600) == 0 : ::mkdir(name.constData(), 0700) == 0);
    LivePreferences preferences(file);
    Preference::registerDefaults(preferences);
    QCOMPARE(preferences.boolValue(Preference::showInMenuBar), true);
    preferences.setBool(Preference::showInMenuBar, false);
    QCOMPARE(preferences.boolValue(Preference::showInMenuBar), false);
    struct stat status {};
    QCOMPARE(::lstat(name.constData(), &status), 0);
    QVERIFY(kind == u"fifo" ? S_ISFIFO(status.st_mode) : S_ISDIR(status.st_mode));
  }

  void theFileLivesUnderTheConfigHome() {
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString file = LivePreferences::defaultFile();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(file, home.filePath(QStringLiteral("Tidra/Tidra.conf")));
  }
};

TIDRA_TEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
