#pragma once

#include "files/LargeFile.h"

#include <QWidget>

#include <set>
#include <string>
#include <vector>

class QMenu;
class QStackedLayout;
class QVBoxLayout;

namespace tidra {

class ActionBar;
class AppModel;
class Button;
class FileRevealer;
class HistoryNotice;
class ProgressPage;
class RowTable;
class SegmentedControl;
class StyledLabel;

// The Large Files screen: the largest files of the home folder at or above the chosen minimum,
// shown in the file manager or moved to the Trash after a confirmation, with a notice when the
// history could not take a move from here. The search, its results and the failures live in
// the model; the selection is this screen's own and starts empty with each new screen. The
// minimum only filters what the model found, so changing it never searches again. The first
// showing starts the search when none has run.
class LargeFilesView : public QWidget {
public:
  // `accountHome` is the home of the person running the program, which the "~" paths and the
  // Library warning refer to even when the model works on another home.
  LargeFilesView(AppModel& model, FileRevealer& revealer, std::string accountHome, QWidget* parent = nullptr);

  void refresh();
  const std::set<std::string>& selection() const { return chosen; }
  void setSelection(std::set<std::string> paths);
  // The context menu for these rows, not yet shown; for no rows its actions are disabled.
  QMenu* menuFor(const std::set<std::string>& rows);

  // The names get the room: the Folder column is as wide as its longest folder `needed`, but
  // never more than two fifths of the width `shared` by the Name and Folder columns.
  static int folderColumnWidth(int shared, int needed);

protected:
  void showEvent(QShowEvent* event) override;
  // Fits the columns to the table's new width.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* makeToolbar();
  QWidget* makeResults();
  void makeFooter();
  void scheduleRefresh();
  void refreshContent();
  void refreshFailures();
  void refreshFooter();
  void fillTable();
  void fitColumns();
  // The table's selection replaces the listed part of ours; hidden paths stay chosen.
  void takeTableSelection(const std::set<std::string>& shown);
  std::vector<LargeFile> listedFiles() const;
  std::vector<LargeFile> selectedFiles() const;
  // Asks before moving; there is never a question about nothing.
  void confirmTrash();
  void reveal(const std::set<std::string>& paths);

  AppModel& model;
  FileRevealer& revealer;
  std::string accountHome;
  std::set<std::string> chosen;
  bool refreshQueued = false;
  bool rowsStale = true;
  bool confirming = false;

  SegmentedControl* minimumSize;
  Button* trashTool;
  Button* searchAgain;
  QStackedLayout* content;
  ProgressPage* progress;
  QWidget* emptyState;
  QWidget* results;
  QVBoxLayout* failureSlot;
  QWidget* failureBanner = nullptr;
  HistoryNotice* historyNotice;
  RowTable* table;
  ActionBar* footer;
  StyledLabel* listText;
  StyledLabel* accessNote;
  StyledLabel* unreadableText;
  StyledLabel* selectionText;
  Button* trash;
};

}  // namespace tidra
