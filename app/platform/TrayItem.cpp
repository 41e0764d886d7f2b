#include "platform/TrayItem.h"

#include "platform/PanelPlacement.h"
#include "views/MenuBarLabel.h"
#include "views/design/Brand.h"
#include "views/design/Symbols.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

namespace tidra {

namespace {

constexpr int iconSize = 64;

}  // namespace

TrayItem::TrayItem(std::function<QWidget*()> makePanel, Commands commands, QObject* parent)
    : QObject(parent), makePanel(std::move(makePanel)), contextMenu(std::make_unique<QMenu>()),
      icon(new QSystemTrayIcon(this)) {
  const auto add = [this](const QString& title, std::function<void()> command) {
    contextMenu->addAction(title, this, [command = std::move(command)] {
      if (command) command();
    });
  };
  add(QStringLiteral("Open Tidra"), std::move(commands.open));
  add(QStringLiteral("Settings…"), std::move(commands.settings));
  contextMenu->addSeparator();
  add(QStringLiteral("Quit Tidra"), std::move(commands.quit));
  icon->setContextMenu(contextMenu.get());
  setReadings(std::nullopt, std::nullopt);
  connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) togglePanel();
  });
}

TrayItem::~TrayItem() { delete openPanel; }

bool TrayItem::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayItem::setReadings(const std::optional<MemorySnapshot>& memory, const std::optional<DiskUsage>& disk) {
  const QString symbol = MenuBarLabel::symbol(memory);
  if (symbol != shownSymbol) {
    shownSymbol = symbol;
    // Tray icons are drawn by the desktop on its own panel colour; the brand accent reads on both.
    icon->setIcon(Symbols::icon(symbol, Brand::accent(), iconSize));
  }
  icon->setToolTip(toolTipFor(disk));
}

QString TrayItem::toolTipFor(const std::optional<DiskUsage>& disk) {
  const QString free = MenuBarLabel::text(disk);
  return free.isEmpty() ? QStringLiteral("Tidra") : QStringLiteral("Tidra — %1 available").arg(free);
}

QString TrayItem::toolTip() const { return icon->toolTip(); }

void TrayItem::setVisible(bool visible) {
  icon->setVisible(visible);
  if (!visible && openPanel) openPanel->close();
}

void TrayItem::togglePanel() {
  if (openPanel && openPanel->isVisible()) {
    openPanel->close();
    return;
  }
  delete openPanel;
  openPanel = makePanel();
  openPanel->setAttribute(Qt::WA_DeleteOnClose);
  openPanel->adjustSize();
  place(openPanel, QCursor::pos());
  openPanel->installEventFilter(this);
  openPanel->show();
}

bool TrayItem::eventFilter(QObject* watched, QEvent* event) {
  // The panel grows when the check opens: placed again from where it is, it stays on screen.
  if (watched == openPanel && event->type() == QEvent::Resize) place(openPanel, openPanel->pos());
  return QObject::eventFilter(watched, event);
}

void TrayItem::place(QWidget* widget, const QPoint& pointer) const {
  const QRect item = icon->geometry();
  QScreen* screen = QGuiApplication::screenAt(item.isValid() ? item.center() : pointer);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  widget->setMaximumHeight(room.height());
  const QRect frame = PanelPlacement::frame(item, pointer, widget->size(), room);
  if (frame.size() != widget->size()) widget->resize(frame.size());
  if (frame.topLeft() != widget->pos()) widget->move(frame.topLeft());
}

}  // namespace tidra
