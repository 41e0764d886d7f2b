#include "views/settings/SettingsView.h"

#include "Updater.h"
#include "models/BackgroundMonitor.h"
#include "platform/LoginItem.h"
#include "platform/Notifications.h"
#include "platform/UrlOpener.h"
#include "runtime/Scheduler.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"
#include "views/settings/FormSection.h"
#include "views/settings/SettingsTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tidra {

namespace {
constexpr int kWidth = 460;
constexpr int kMargin = 20;

QCheckBox* switchBox(QWidget* parent, const QString& name) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(name);
  return box;
}
}  // namespace

SettingsView::SettingsView(Preferences& preferences, BackgroundMonitor& monitor, Scheduler& scheduler,
                           Desktop desktop, QWidget* parent)
    : QWidget(parent), preferences(preferences), monitor(monitor), scheduler(scheduler), desktop(desktop) {
  setObjectName(QStringLiteral("settingsView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  column->setSpacing(18);
  // The layout fixes the window to its own size hint, which would be only as wide as the widest
  // row: the strut holds the form at its width, and the height still follows the content.
  column->addStrut(kWidth - 2 * kMargin);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->addWidget(makeMenuBar());
  column->addWidget(makeAlerts());
  column->addWidget(makeDevServers());
  column->addWidget(makeWeekly());
  column->addWidget(makeFeedback());
  if (desktop.updates) column->addWidget(makeUpdates());
  connect(&monitor, &BackgroundMonitor::isCheckingWeeklyChanged, this, &SettingsView::refreshWeekly);
  refreshWeekly();
}

QCheckBox* SettingsView::toggle(const QString& key, bool fallback, const QString& name, bool asksForAlerts) {
  auto* box = switchBox(this, name);
  box->setChecked(preferences.value(key).isValid() ? preferences.boolValue(key) : fallback);
  connect(box, &QCheckBox::toggled, this, [this, key, asksForAlerts](bool on) {
    preferences.setBool(key, on);
    if (on && asksForAlerts) desktop.notifications.prepare();
  });
  return box;
}

FormSection* SettingsView::makeMenuBar() {
  auto* section = new FormSection(QStringLiteral("Tray"), QString(), this);
  auto* show = toggle(Preference::showInMenuBar, true, QStringLiteral("showInMenuBar"));
  connect(show, &QCheckBox::toggled, this, &SettingsView::showInMenuBarChanged);
  section->addRow(SettingsTexts::trayToggle(), show);

  opensAtLogin = switchBox(this, QStringLiteral("opensAtLogin"));
  opensAtLogin->setChecked(desktop.loginItem.isEnabled());
  connect(opensAtLogin, &QCheckBox::toggled, this, &SettingsView::setOpensAtLogin);
  section->addRow(QStringLiteral("Open Tidra at login"), opensAtLogin);
  loginProblem = new StyledLabel(QString(), Theme::TextStyle::callout, Theme::Role::orange, -1, this);
  loginProblem->setObjectName(QStringLiteral("loginProblem"));
  loginProblem->setWordWrap(true);
  loginProblem->hide();
  section->addRow(loginProblem, false);
  return section;
}

FormSection* SettingsView::makeAlerts() {
  auto* section = new FormSection(QStringLiteral("Alerts"), SettingsTexts::alertsNote(), this);
  section->addRow(QStringLiteral("When memory stays under pressure"),
                  toggle(Preference::alertWhenMemoryIsTight, true, QStringLiteral("memoryAlerts"), true));
  section->addRow(QStringLiteral("When the disk is nearly full"),
                  toggle(Preference::alertWhenDiskIsLow, true, QStringLiteral("diskAlerts"), true));
  return section;
}

FormSection* SettingsView::makeDevServers() {
  auto* section = new FormSection(
      QStringLiteral("Dev Servers"),
      QStringLiteral("Idle means nothing has connected to it, such as a browser tab, and nothing in its folder has "
                     "changed. Stopping ends the server and everything it started."),
      this);
  section->addRow(QStringLiteral("Tell me when a dev server sits idle"),
                  toggle(Preference::alertWhenDevServerIsIdle, true, QStringLiteral("idleServerAlerts"), true));

  auto* hours = new QComboBox(this);
  hours->setObjectName(QStringLiteral("idleServerHours"));
  for (const auto& [title, value] : SettingsTexts::idleHourChoices()) hours->addItem(title, value);
  const QString key = Preference::devServerIdleHours;
  const int stored = preferences.value(key).isValid() ? preferences.intValue(key) : 2;
  hours->setCurrentIndex(std::max(0, hours->findData(stored)));
  connect(hours, &QComboBox::currentIndexChanged, this,
          [this, hours, key](int) { preferences.setInt(key, hours->currentData().toInt()); });
  section->addRow(QStringLiteral("Idle for"), hours);

  section->addRow(QStringLiteral("Stop idle dev servers automatically"),
                  toggle(Preference::stopIdleDevServers, false, QStringLiteral("idleServerAutoStop")));
  return section;
}

FormSection* SettingsView::makeWeekly() {
  auto* section = new FormSection(
      QStringLiteral("Weekly Check"),
      QStringLiteral("Only items marked safe are ever cleaned automatically: caches and build data that are rebuilt "
                     "when needed. Nothing marked \"Your call\" is touched."),
      this);
  section->addRow(QStringLiteral("Tell me when there is a lot to clean"),
                  toggle(Preference::weeklyReport, true, QStringLiteral("weeklyReport"), true));
  section->addRow(QStringLiteral("Clean the safe items automatically"),
                  toggle(Preference::weeklyAutoClean, false, QStringLiteral("weeklyAutoClean")));

  checkNow = new Button(Button::Look::secondary, QString(), this);
  checkNow->setObjectName(QStringLiteral("weeklyCheckNow"));
  connect(checkNow, &QPushButton::clicked, this, [this] {
    monitor.weeklyCheck();
    // The check stores its date as it starts, after telling that it runs.
    refreshWeekly();
  });
  weeklyStatus = new StyledLabel(QString(), Theme::TextStyle::body, Theme::Role::secondaryLabel);
  weeklyStatus->setObjectName(QStringLiteral("weeklyStatus"));
  section->addRow(weeklyStatus, checkNow);
  return section;
}

FormSection* SettingsView::makeFeedback() {
  auto* section = new FormSection(QStringLiteral("Feedback"), QString(), this);
  auto* send = new Button(Button::Look::secondary, QStringLiteral("Send Feedback…"), this);
  send->setObjectName(QStringLiteral("sendFeedback"));
  connect(send, &QPushButton::clicked, this, [this] { desktop.urlOpener.open(desktop.feedback); });
  section->addRow(QStringLiteral("Found a bug, or something Tidra missed?"), send);
  return section;
}

FormSection* SettingsView::makeUpdates() {
  auto* section = new FormSection(QStringLiteral("Updates"), QString(), this);
  auto* row = new QWidget(this);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 4, 0, 4);
  auto* automatic = new QCheckBox(QStringLiteral("Check for updates automatically"), row);
  automatic->setObjectName(QStringLiteral("checksForUpdates"));
  automatic->setChecked(desktop.updates->automaticallyChecksForUpdates());
  connect(automatic, &QCheckBox::toggled, this,
          [this](bool on) { desktop.updates->setAutomaticallyChecksForUpdates(on); });
  line->addWidget(automatic, 1);
  auto* check = new Button(Button::Look::secondary, QStringLiteral("Check Now"), row);
  check->setObjectName(QStringLiteral("updatesCheckNow"));
  connect(check, &QPushButton::clicked, this, [this] { desktop.updates->checkForUpdates(); });
  line->addWidget(check);
  section->addRow(row);
  return section;
}

void SettingsView::setOpensAtLogin(bool wanted) {
  const auto problem = desktop.loginItem.setEnabled(wanted);
  loginProblem->setText(problem ? SettingsTexts::loginProblem(*problem) : QString());
  loginProblem->setVisible(problem.has_value());
  // The switch always ends on the real state, whatever was asked for.
  const QSignalBlocker quiet(opensAtLogin);
  opensAtLogin->setChecked(desktop.loginItem.isEnabled());
}

void SettingsView::refreshWeekly() {
  const bool checking = monitor.isCheckingWeekly();
  weeklyStatus->setText(SettingsTexts::weeklyStatus(monitor.lastWeeklyCheck(), scheduler.now()));
  checkNow->setText(SettingsTexts::weeklyButton(checking));
  checkNow->setEnabled(!checking);
}

}  // namespace tidra
