#pragma once

#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace tidra {

// The application's item in the desktop's tray, standing for the menu-bar item: its icon is the
// label's symbol, its tooltip the free disk space, and a click drops the panel down beside it
// (a second click puts it away). The panel is built on each opening by `makePanel`. A right-click
// opens the menu tray items have on Linux desktops: Open Tidra, Settings…, Quit Tidra.
class TrayItem : public QObject {
  Q_OBJECT

public:
  // What the menu's entries do; an empty one does nothing.
  struct Commands {
    std::function<void()> open;
    std::function<void()> settings;
    std::function<void()> quit;
  };

  explicit TrayItem(std::function<QWidget*()> makePanel, Commands commands = {}, QObject* parent = nullptr);
  ~TrayItem() override;

  // "Tidra — 61.3 GB available"; "Tidra" before the first reading.
  static QString toolTipFor(const std::optional<DiskUsage>& disk);

  // Whether the desktop shows tray items at all; without one the item is never made.
  static bool isAvailable();

  void setReadings(const std::optional<MemorySnapshot>& memory, const std::optional<DiskUsage>& disk);
  void setVisible(bool visible);

  // Opens the panel when closed, closes it when open.
  void togglePanel();
  QWidget* panel() const { return openPanel; }

  QString symbol() const { return shownSymbol; }
  QString toolTip() const;
  QMenu* menu() const { return contextMenu.get(); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Beside the tray item, else at `pointer`, and inside the screen's available geometry (see
  // PanelPlacement).
  void place(QWidget* widget, const QPoint& pointer) const;

  std::function<QWidget*()> makePanel;
  // The tray icon does not own its menu.
  std::unique_ptr<QMenu> contextMenu;
  QSystemTrayIcon* icon;
  QString shownSymbol;
  QPointer<QWidget> openPanel;
};

}  // namespace tidra
