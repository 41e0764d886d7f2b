#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QStackedLayout;

namespace tidra {
class AppModel;
class Button;
class DuplicatesModel;
class FileRevealer;
class HistoryNotice;
class SegmentedControl;
class SimilarPhotosModel;
class StyledLabel;
class Thumbnailer;
}  // namespace tidra

namespace tidra::duplicates {

class IdenticalPane;
class PreviewWindow;
class SetsFooter;
class SimilarPane;

// The Duplicates screen: the "Show" switch between identical files and similar photos, the
// minimum size (identical files only), "Search Again", the pane of the current mode with its
// footer, how many folders the identical-file search could not read, the two move-to-Trash
// confirmations, the preview of a photo, and a notice when `app` could not add a move from here
// to the history. Keeps no state but the preview and whether it moved anything: the rest is
// recomputed from the models once per event-loop turn after they change. Being shown, or a
// change of mode, starts the current mode's first search.
class DuplicatesView : public QWidget {
public:
  DuplicatesView(DuplicatesModel& duplicates, SimilarPhotosModel& photos, const AppModel& app, FileRevealer& revealer,
                 std::shared_ptr<Thumbnailer> thumbnailer, QWidget* parent = nullptr);

  void refresh();
  // Opens the preview of `path` when the file exists; otherwise does nothing.
  void setPreview(const std::string& path);
  const std::optional<std::string>& preview() const { return previewed; }

  IdenticalPane* identicalPane() const { return identical; }
  SimilarPane* similarPane() const { return similar; }

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* makeToolbar();
  void makeFooters();
  void scheduleRefresh();
  void startFirstSearch();
  void refreshFooters();
  void presentConfirmations();
  void confirm(bool identicalSide);

  DuplicatesModel& duplicates;
  SimilarPhotosModel& photos;
  FileRevealer& revealer;
  std::shared_ptr<Thumbnailer> thumbnailer;
  std::optional<std::string> previewed;
  bool refreshQueued = false;
  bool identicalConfirmationOpen = false;
  bool similarConfirmationOpen = false;

  SegmentedControl* modes;
  StyledLabel* unreadableText;
  HistoryNotice* historyNotice;
  QWidget* minimumSize;
  SegmentedControl* thresholds;
  Button* searchAgain;
  QStackedLayout* panes;
  IdenticalPane* identical;
  SimilarPane* similar;
  SetsFooter* identicalFooter;
  SetsFooter* similarFooter;
};

}  // namespace tidra::duplicates
