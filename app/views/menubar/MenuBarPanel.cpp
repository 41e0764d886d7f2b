#include "views/menubar/MenuBarPanel.h"

#include "models/AppModel.h"
#include "models/BackgroundMonitor.h"
#include "models/Diagnosis.h"
#include "models/WindowOpener.h"
#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/design/ClearScroll.h"
#include "views/design/Divider.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/diagnosis/DiagnosisView.h"
#include "views/menubar/IdleRow.h"
#include "views/menubar/MemoryUseRow.h"
#include "views/menubar/MenuBarTexts.h"
#include "views/menubar/MiniGauge.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tidra {

namespace {
constexpr int kWidth = 320;

std::optional<int> visibleScreenHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return std::nullopt;
  return screen->availableGeometry().height();
}
}  // namespace

MenuBarPanel::MenuBarPanel(AppModel& model, BackgroundMonitor& monitor, bool diagnosing, QWidget* parent)
    : QWidget(parent), model(model), monitor(monitor), diagnosing(diagnosing) {
  setObjectName(QStringLiteral("menuBarPanel"));
  setFixedWidth(kWidth);
  setAutoFillBackground(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 16, 16, 16);
  column->setSpacing(14);

  column->addWidget(makeGauges());
  column->addWidget(makeTopApps());
  idleServers = new IdleRow(this);
  idleServers->setObjectName(QStringLiteral("idleServers"));
  column->addWidget(idleServers);
  idleDaemons = new IdleRow(this);
  idleDaemons->setObjectName(QStringLiteral("idleDaemons"));
  column->addWidget(idleDaemons);

  checkButton = new Button(Button::Look::primary, QString(), this);
  checkButton->setObjectName(QStringLiteral("checkButton"));
  checkButton->setSymbol(QStringLiteral("stethoscope"));
  checkButton->setControlSize(Button::Size::large);
  checkButton->setFlexible(true);
  connect(checkButton, &QPushButton::clicked, this, &MenuBarPanel::toggleCheck);
  column->addWidget(checkButton);

  inlineCheck = new QScrollArea(this);
  inlineCheck->setObjectName(QStringLiteral("inlineCheck"));
  inlineCheck->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  showThrough(inlineCheck, new DiagnosisView(model, true, inlineCheck));
  column->addWidget(inlineCheck);

  column->addWidget(new Divider(this));
  column->addWidget(makeFooter());

  for (auto changed : {&BackgroundMonitor::memoryChanged, &BackgroundMonitor::diskChanged,
                       &BackgroundMonitor::topAppsChanged, &BackgroundMonitor::devServersChanged,
                       &BackgroundMonitor::idleTimesChanged, &BackgroundMonitor::idleDaemonsChanged})
    connect(&monitor, changed, this, [this] { laterRefresh.schedule(); });
  connect(&model.diagnosis(), &Diagnosis::phaseChanged, this, [this] { laterRefresh.schedule(); });
  connect(&model.diagnosis(), &Diagnosis::appliedChanged, this, [this] { laterRefresh.schedule(); });
  refresh();
}

QWidget* MenuBarPanel::makeGauges() {
  gauges = new QWidget(this);
  auto* row = new QHBoxLayout(gauges);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(10);
  memoryGauge = new MiniGauge(gauges);
  memoryGauge->setObjectName(QStringLiteral("memoryGauge"));
  diskGauge = new MiniGauge(gauges);
  diskGauge->setObjectName(QStringLiteral("diskGauge"));
  row->addWidget(memoryGauge, 1);
  row->addWidget(diskGauge, 1);
  return gauges;
}

QWidget* MenuBarPanel::makeTopApps() {
  topApps = new QWidget(this);
  topApps->setObjectName(QStringLiteral("topApps"));
  auto* column = new QVBoxLayout(topApps);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  column->addWidget(new StyledLabel(QStringLiteral("Using the most memory"), Theme::TextStyle::caption,
                                    Theme::Role::secondaryLabel, -1, topApps));
  topAppRows = new KeyedRowList([this](const QString&) { return new MemoryUseRow(topAppRows); }, topApps);
  topAppRows->layout()->setSpacing(6);
  column->addWidget(topAppRows);
  return topApps;
}

QWidget* MenuBarPanel::makeFooter() {
  auto* footer = new QWidget(this);
  auto* row = new QHBoxLayout(footer);
  row->setContentsMargins(0, 0, 0, 0);
  auto* open = new Button(Button::Look::secondary, QStringLiteral("Open Tidra"), footer);
  open->setObjectName(QStringLiteral("openTidra"));
  connect(open, &QPushButton::clicked, this, [this] {
    // A popup stays over the window it brings up unless it goes first.
    if (isWindow()) close();
    WindowOpener::shared().show(std::nullopt, model);
  });
  row->addWidget(open);
  row->addStretch(1);
  auto* settings = new Button(Button::Look::secondary, QString(), footer);
  settings->setObjectName(QStringLiteral("settings"));
  settings->setSymbol(QStringLiteral("gearshape"));
  settings->setToolTip(QStringLiteral("Settings"));
  settings->setAccessibleName(QStringLiteral("Settings"));
  connect(settings, &QPushButton::clicked, this, &MenuBarPanel::settingsRequested);
  row->addWidget(settings);
  auto* quit = new Button(Button::Look::secondary, QString(), footer);
  quit->setObjectName(QStringLiteral("quit"));
  quit->setSymbol(QStringLiteral("power"));
  quit->setToolTip(QStringLiteral("Quit Tidra"));
  quit->setAccessibleName(QStringLiteral("Quit Tidra"));
  connect(quit, &QPushButton::clicked, this, &MenuBarPanel::quitRequested);
  row->addWidget(quit);
  return footer;
}

void MenuBarPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  monitor.refresh();
}

void MenuBarPanel::refresh() {
  refreshGauges();
  refreshTopApps();
  refreshIdleRows();
  checkButton->setText(MenuBarTexts::checkButtonTitle(diagnosing));
  inlineCheck->setVisible(diagnosing);
  // As tall as the findings, up to what the screen allows; the rest scrolls.
  const QWidget* check = inlineCheck->widget();
  const int wanted = check->hasHeightForWidth() ? check->heightForWidth(kWidth - 32) : check->sizeHint().height();
  const int rest = layout()->sizeHint().height() - (inlineCheck->isVisibleTo(this) ? inlineCheck->minimumHeight() : 0);
  inlineCheck->setFixedHeight(std::min(wanted, MenuBarTexts::inlineCheckRoom(visibleScreenHeight(), rest)));
  adjustSize();
}

void MenuBarPanel::refreshGauges() {
  const auto& memory = monitor.memory();
  const auto& disk = monitor.disk();
  if (memory) memoryGauge->setGauge(MenuBarTexts::memoryGauge(*memory));
  if (disk) diskGauge->setGauge(MenuBarTexts::diskGauge(*disk));
  memoryGauge->setVisible(memory.has_value());
  diskGauge->setVisible(disk.has_value());
  gauges->setVisible(memory || disk);
}

void MenuBarPanel::refreshTopApps() {
  const auto& groups = monitor.topApps();
  QStringList ids;
  for (const auto& group : groups) ids << RowKeys::of(group.id);
  topAppRows->setKeys(ids);
  for (const auto& group : groups)
    static_cast<MemoryUseRow*>(topAppRows->row(RowKeys::of(group.id)))
        ->setContent(QString::fromStdString(group.name), Formats::memory(group.memoryBytes),
                     MenuBarTexts::memoryShare(group.memoryBytes, monitor.memory()));
  topApps->setVisible(!groups.empty());
}

void MenuBarPanel::refreshIdleRows() {
  const auto servers = MenuBarTexts::idleServers(monitor.devServers(), monitor.idleTimes());
  idleServers->setVisible(!servers.empty());
  if (!servers.empty())
    idleServers->setContent(QStringLiteral("moon.zzz.fill"), MenuBarTexts::idleServersTitle(int(servers.size())),
                            servers, [this, servers] {
                              for (const auto& server : servers) monitor.stopIdleServer(server);
                            });
  const auto& daemons = monitor.idleDaemons();
  idleDaemons->setVisible(!daemons.empty());
  if (!daemons.empty())
    idleDaemons->setContent(QStringLiteral("hammer.fill"), MenuBarTexts::idleDaemonsTitle(int(daemons.size())),
                            daemons, [this] { monitor.stopIdleDaemons(); });
}

void MenuBarPanel::toggleCheck() {
  diagnosing = !diagnosing;
  // Hiding only hides: a check under way goes on, and opening again joins it.
  if (diagnosing) model.diagnosis().run(model, [monitor = &monitor] { return monitor->idleTimes(); });
  refresh();
}

}  // namespace tidra
