#include "platform/TrayItem.h"

#include "platform/PanelPlacement.h"
#include "views/MenuBarLabel.h"
#include "views/design/Brand.h"
#include "views/design/Symbols.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

namespace tidra {

namespace {

constexpr int iconSize = 64;

}  // namespace

TrayItem::TrayItem(std::function<QWidget*()> makePanel, QObject* parent)
    : QObject(parent), makePanel(std::move(makePanel)), icon(new QSystemTrayIcon(this)) {
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
  const QString free = MenuBarLabel::text(disk);
  icon->setToolTip(free.isEmpty() ? QStringLiteral("Tidra") : free);
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
