#include "platform/TrayItem.h"

#include "views/MenuBarLabel.h"
#include "views/design/Brand.h"
#include "views/design/Symbols.h"

#include <QCursor>
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

bool TrayItem::isVisible() const { return icon->isVisible(); }

void TrayItem::togglePanel() {
  if (openPanel && openPanel->isVisible()) {
    openPanel->close();
    return;
  }
  delete openPanel;
  openPanel = makePanel();
  openPanel->setAttribute(Qt::WA_DeleteOnClose);
  openPanel->adjustSize();
  place(openPanel);
  openPanel->show();
}

// Under the tray item when the desktop tells where it is, else at the pointer; always on screen.
void TrayItem::place(QWidget* widget) const {
  const QRect item = icon->geometry();
  const QPoint anchor = item.isValid() ? item.bottomLeft() : QCursor::pos();
  QScreen* screen = QGuiApplication::screenAt(anchor);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  QRect frame(anchor, widget->size());
  if (frame.right() > room.right()) frame.moveRight(room.right());
  if (frame.bottom() > room.bottom()) frame.moveBottom(item.isValid() ? item.top() : room.bottom());
  frame.moveLeft(std::max(frame.left(), room.left()));
  frame.moveTop(std::max(frame.top(), room.top()));
  widget->move(frame.topLeft());
}

}  // namespace tidra
