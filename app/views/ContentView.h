#pragma once

#include "models/Section.h"

#include <QWidget>

#include <functional>
#include <optional>

class QDialog;
class QSplitter;

namespace tidra {

class AppModel;
class Backdrop;
class BackgroundMonitor;
class Sidebar;

// The main window's content: the sidebar beside the screen of the selected section, with the
// glowing backdrop behind that screen only. The screen is built anew each time its section is
// selected, so whatever it keeps of its own starts afresh; no section shows the overview.
//
// It also presents the diagnosis sheet over whichever screen shows, following the
// diagnosis's "presented" flag (see setDiagnosisPresented).
class ContentView : public QWidget {
public:
  static constexpr int leastWidth = 860;
  static constexpr int leastHeight = 560;

  // The monitor's idle times show on the Performance screen; it outlives the view.
  ContentView(AppModel& model, const BackgroundMonitor& monitor, QWidget* parent = nullptr);

  // The screen standing for `section` (none: the overview), made for this window.
  QWidget* makeScreen(std::optional<Section> section);
  QWidget* screen() const { return current; }
  Sidebar* sidebar() const { return list; }
  QSplitter* splitter() const { return split; }

  // The diagnosis sheet's slot. The diagnosis binds its "presented" flag here: true opens the
  // sheet that `makeDiagnosisSheet` builds, false closes it. When the person closes the sheet,
  // `diagnosisDismissed` is called so the flag can be written back.
  std::function<QDialog*(QWidget* parent)> makeDiagnosisSheet;
  std::function<void()> diagnosisDismissed;
  void setDiagnosisPresented(bool presented);
  QDialog* diagnosisSheet() const { return sheet; }

protected:
  // Tab follows reading order: the sidebar, then the screen from the top, also through rows a
  // screen adds after a search.
  bool focusNextPrevChild(bool next) override;

private:
  void showSection();

  AppModel& model;
  const BackgroundMonitor& monitor;
  Sidebar* list;
  QSplitter* split;
  Backdrop* detail;
  QWidget* current = nullptr;
  QDialog* sheet = nullptr;
};

}  // namespace tidra
