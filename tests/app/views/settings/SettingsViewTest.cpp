#include "support/TestMain.h"
#include "monitor/MonitorFakes.h"

#include "Demo.h"
#include "Updater.h"
#include "platform/AutostartEntry.h"
#include "platform/LoginItem.h"
#include "platform/UrlOpener.h"
#include "settings/Preference.h"
#include "views/settings/SettingsTexts.h"
#include "views/settings/SettingsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

class FakeUpdates final : public UpdateController {
public:
  void checkForUpdates() override { ++checks; }
  bool automaticallyChecksForUpdates() const override { return automatic; }
  void setAutomaticallyChecksForUpdates(bool on) override { automatic = on; }
  bool automatic = true;
  int checks = 0;
};

// The settings window over the monitor rig, with fake desktop parts.
struct SettingsRig {
  MonitorRig rig;
  FakeLoginItem fakeLogin;
  FakeUrlOpener urls;
  std::unique_ptr<SettingsView> view;

  explicit SettingsRig(LoginItem* login = nullptr, UpdateController* updates = nullptr) {
    view = std::make_unique<SettingsView>(
        rig.preferences, *rig.monitor, rig.scheduler,
        SettingsView::Desktop{login ? *login : fakeLogin, rig.notifications, urls, updates,
                              QUrl("https://example.com/feedback")});
  }
  template <class T = QCheckBox>
  T* find(const QString& name) const {
    return view->findChild<T*>(name);
  }
  void toggle(const QString& name) { find(name)->click(); }
};

}  // namespace

class SettingsViewTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  // The form is 460 wide whatever its rows hold, with or without a login problem under its switch,
  // and as tall as its content.
  void formIs460Wide() {
    SettingsRig settings;
    settings.view->show();
    QCoreApplication::processEvents();
    QCOMPARE(settings.view->width(), 460);
    const int plain = settings.view->height();
    settings.fakeLogin.failure = "refused";
    settings.toggle("opensAtLogin");
    QCoreApplication::processEvents();
    QTRY_VERIFY(settings.view->height() > plain);
    QCOMPARE(settings.view->width(), 460);
  }

  void clickingASwitchsLabelTogglesTheSwitch() {
    SettingsRig settings;
    auto* box = settings.find("showInMenuBar");
    QLabel* label = nullptr;
    for (auto* candidate : settings.view->findChildren<QLabel*>())
      if (candidate->text() == QLatin1String("Show Tidra in the tray")) label = candidate;
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton);
    QVERIFY(!box->isChecked());
    QCOMPARE(settings.rig.preferences.boolValue(Preference::showInMenuBar), false);
    QTest::mouseClick(label, Qt::LeftButton);
    QVERIFY(box->isChecked());
  }

  void showsTheDefaultsWithNothingStored() {
    SettingsRig settings;
    const std::pair<QString, bool> expected[] = {
        {"showInMenuBar", true},     {"memoryAlerts", true},     {"diskAlerts", true},
        {"idleServerAlerts", true},  {"idleServerAutoStop", false}, {"weeklyReport", true},
        {"weeklyAutoClean", false},  {"opensAtLogin", false}};
    for (const auto& [name, on] : expected) QCOMPARE(settings.find(name)->isChecked(), on);
    QCOMPARE(settings.find<QComboBox>("idleServerHours")->currentText(), QStringLiteral("2 hours"));
    QVERIFY(settings.rig.preferences.storedValues().isEmpty());
  }

  void controlsWriteTheirKeys() {
    SettingsRig settings;
    auto* hours = settings.find<QComboBox>("idleServerHours");
    QStringList choices;
    for (int i = 0; i < hours->count(); ++i) choices << hours->itemText(i);
    QCOMPARE(choices, (QStringList{"1 hour", "2 hours", "4 hours", "8 hours"}));
    hours->setCurrentIndex(hours->findText("8 hours"));
    QCOMPARE(settings.rig.preferences.intValue(Preference::devServerIdleHours), 8);

    settings.toggle("weeklyAutoClean");
    settings.toggle("idleServerAutoStop");
    settings.toggle("diskAlerts");
    QCOMPARE(settings.rig.preferences.boolValue(Preference::weeklyAutoClean), true);
    QCOMPARE(settings.rig.preferences.boolValue(Preference::stopIdleDevServers), true);
    QCOMPARE(settings.rig.preferences.boolValue(Preference::alertWhenDiskIsLow), false);
  }

  void storedValuesWinOverTheDefaults() {
    SettingsRig settings;
    settings.view.reset();
    settings.rig.preferences.setInt(Preference::devServerIdleHours, 4);
    settings.rig.preferences.setBool(Preference::showInMenuBar, false);
    settings.view = std::make_unique<SettingsView>(
        settings.rig.preferences, *settings.rig.monitor, settings.rig.scheduler,
        SettingsView::Desktop{settings.fakeLogin, settings.rig.notifications, settings.urls, nullptr, QUrl()});
    QCOMPARE(settings.find<QComboBox>("idleServerHours")->currentText(), QStringLiteral("4 hours"));
    QCOMPARE(settings.find("showInMenuBar")->isChecked(), false);
  }

  void turningAnAlertOnAsksForNotificationsAgain() {
    SettingsRig settings;
    settings.toggle("diskAlerts");  // off: asks nothing
    QCOMPARE(settings.rig.notifications.prepared, 0);
    settings.toggle("diskAlerts");
    QCOMPARE(settings.rig.notifications.prepared, 1);
    settings.toggle("weeklyAutoClean");  // no alert behind it
    QCOMPARE(settings.rig.notifications.prepared, 1);
  }

  void theMenuBarSwitchTellsTheTrayAtOnce() {
    SettingsRig settings;
    QSignalSpy shown(settings.view.get(), &SettingsView::showInMenuBarChanged);
    settings.toggle("showInMenuBar");
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.at(0).at(0).toBool(), false);
  }

  void aRefusedLoginItemShowsWhyAndTheRealState() {
    SettingsRig settings;
    settings.fakeLogin.failure = QStringLiteral("Permission denied.");
    settings.toggle("opensAtLogin");
    QCOMPARE(settings.find("opensAtLogin")->isChecked(), false);
    auto* problem = settings.find<QLabel>("loginProblem");
    QVERIFY(!problem->isHidden());
    QCOMPARE(problem->text(), SettingsTexts::loginProblem("Permission denied."));
    QCOMPARE(problem->text(),
             QStringLiteral("The system refused: Permission denied. Check that ~/.config/autostart can be written."));

    settings.fakeLogin.failure.reset();
    settings.toggle("opensAtLogin");
    QCOMPARE(settings.find("opensAtLogin")->isChecked(), true);
    QVERIFY(problem->isHidden());
  }

  void theLoginSwitchWritesAndRemovesAValidAutostartEntry() {
    QTemporaryDir dir;
    const QString file = dir.path() + "/config/autostart/tidra.desktop";
    const QString program = dir.path() + "/my apps/Tidra \"100%\" $HOME\\bin";
    LiveLoginItem login(file, program);
    SettingsRig settings(&login);
    settings.toggle("opensAtLogin");
    QVERIFY(settings.find("opensAtLogin")->isChecked());
    const auto entry = sys::readAutostartEntry(file.toStdString());
    QVERIFY(entry);
    QCOMPARE(entry->name, std::string("Tidra"));
    QVERIFY(entry->enabled);
    QCOMPARE(entry->program, std::optional(program.toStdString()));

    settings.toggle("opensAtLogin");
    QVERIFY(!QFile::exists(file));
    QVERIFY(!settings.find("opensAtLogin")->isChecked());
    QVERIFY(settings.find<QLabel>("loginProblem")->isHidden());
  }

  void aLoginItemThatCannotBeWrittenStaysOff() {
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/config");
    QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    LiveLoginItem login(dir.path() + "/config/autostart/tidra.desktop", "/usr/bin/tidra");
    QVERIFY(login.setEnabled(true).has_value());
    QVERIFY(!login.isEnabled());
  }

  void aSwitchedOffEntryCountsAsOff() {
    QTemporaryDir dir;
    const QString file = dir.path() + "/tidra.desktop";
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("[Desktop Entry]\nType=Application\nExec=/usr/bin/tidra\nHidden=true\n");
    out.close();
    QVERIFY(!LiveLoginItem(file, "/usr/bin/tidra").isEnabled());
  }

  void weeklyRowFollowsTheMonitor() {
    Demo::decide(true);
    SettingsRig settings;
    auto* status = settings.find<QLabel>("weeklyStatus");
    auto* button = settings.find<QPushButton>("weeklyCheckNow");
    QCOMPARE(status->text(), QStringLiteral("Not checked yet"));
    QCOMPARE(button->text(), QStringLiteral("Check Now"));
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Checking…"));
    QVERIFY(!button->isEnabled());
    settings.rig.scheduler.advance(1500ms);
    QTRY_COMPARE(button->text(), QStringLiteral("Check Now"));
    QVERIFY(button->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("Not checked yet"));  // the demo stores no date
  }

  void aWeeklyCheckShowsItsDateAsItStarts() {
    SettingsRig settings;
    settings.find<QPushButton>("weeklyCheckNow")->click();
    const auto now = settings.rig.scheduler.now();
    QCOMPARE(settings.find<QLabel>("weeklyStatus")->text(), SettingsTexts::weeklyStatus(now, now));
    QTRY_VERIFY(!settings.rig.monitor->isCheckingWeekly());
  }

  void weeklyStatusTexts() {
    const SettingsTexts::Date now{1'800'000'000s};
    QCOMPARE(SettingsTexts::weeklyStatus(std::nullopt, now), QStringLiteral("Not checked yet"));
    QCOMPARE(SettingsTexts::weeklyStatus(now - 3 * 86'400s, now), QStringLiteral("Last checked 3 days ago"));
    QCOMPARE(SettingsTexts::weeklyButton(true), QStringLiteral("Checking…"));
  }

  void updatesOnlyWithAController() {
    SettingsRig without;
    QVERIFY(!without.find("checksForUpdates"));
    FakeUpdates updates;
    SettingsRig with(nullptr, &updates);
    auto* automatic = with.find("checksForUpdates");
    QVERIFY(automatic->isChecked());
    automatic->click();
    QCOMPARE(updates.automatic, false);
    with.find<QPushButton>("updatesCheckNow")->click();
    QCOMPARE(updates.checks, 1);
  }

  void feedbackOpensTheFeedbackPage() {
    SettingsRig settings;
    settings.find<QPushButton>("sendFeedback")->click();
    QCOMPARE(settings.urls.opened, (QList<QUrl>{QUrl("https://example.com/feedback")}));
  }
};

TIDRA_TEST_MAIN(SettingsViewTest)
#include "SettingsViewTest.moc"
