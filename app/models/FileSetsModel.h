#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/PathGuard.h"
#include "platform/Thumbnailer.h"
#include "runtime/Flow.h"
#include "runtime/Scheduler.h"
#include "services/FileServices.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// What the identical-files and similar-photos lists have in common, without their set type:
// the search phase, the selection, the confirmation flag, the failures of the last move, the
// row pictures, the move to the Trash and the two hooks the central model installs. Lives on
// the GUI thread; the search and the move run on the user pool.
class FileSetsModel : public QObject {
  Q_OBJECT

public:
  enum class Phase { idle, searching, ready };

  // The selected files of one shown set, and a check run on the worker just before the move:
  // true when a file the set keeps is still the one the search saw, or when it keeps none.
  struct SetMove {
    std::vector<std::string> paths;
    std::function<bool()> keeperStands;
  };

  // Receives the history record of every move that put at least one file in the Trash, again
  // after each file, each time under the move's run and holding everything it moved so far.
  std::function<void(const CleanupRecord&)> onTrashed;
  // Receives, after every move, the paths that left the disk (moved, or found already gone),
  // so the other list can forget them too.
  std::function<void(const std::set<std::string>&)> onGone;

  Phase phase() const { return phase_; }
  // A move to the Trash is under way.
  bool isMoving() const { return moving; }
  const std::set<std::string>& selection() const { return selection_; }
  void setSelection(std::set<std::string> selection);
  bool isConfirming() const { return isConfirming_; }
  void setConfirming(bool confirming);
  const std::vector<CleanReport::Failure>& failures() const { return failures_; }
  void setFailures(std::vector<CleanReport::Failure> failures);
  // Row pictures by path; kept for the life of the model, across searches.
  const std::map<std::string, QImage>& thumbnails() const { return thumbnails_; }
  const std::string& home() const { return home_; }
  const PathGuard& guardian() const { return guardian_; }

  // Starts a search unless one runs: empties the selection and the failures at once and keeps
  // the old sets on show until the new ones arrive.
  void find();
  // Moves the selected files of the shown sets to the Trash, one file at a time, and hands on
  // the move's record after each file, so a process killed outright loses at most the file in
  // hand. Ignored unless ready, with something selected and no move already running.
  void moveToTrash();
  // Asks a running move to stop after the file in hand (the app is quitting).
  void finishSoon() { finishingSoon_ = true; }
  // Takes these paths out of every set, dropping sets left with fewer than two files, and
  // out of the selection.
  virtual void forget(const std::set<std::string>& paths) = 0;

signals:
  void phaseChanged();
  void groupsChanged();
  void stageChanged();
  void selectionChanged();
  void isConfirmingChanged();
  void failuresChanged();
  void thumbnailsChanged();

protected:
  // What moving `path` gives back once `movedBefore` are gone, over the sets as they were when
  // the move began: a file whose data a kept copy or another link holds gives nothing.
  using Gain = std::function<std::int64_t(const std::string& path, const std::set<std::string>& movedBefore)>;

  FileSetsModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler,
                std::string home, QObject* parent);

  // The search after the common reset; ends by publishing the sets and setting `ready`.
  virtual Flow search() = 0;
  virtual void resetStage() = 0;
  virtual std::vector<SetMove> setMoves() const = 0;
  virtual Gain gain() const = 0;
  // The history's name for this list.
  virtual std::string source() const = 0;

  void setPhase(Phase phase);
  // Counts searches, so progress posted by an earlier one is told apart and dropped.
  int searchNumber() const { return searchNumber_; }
  bool isCurrentSearch(int number) const { return number == searchNumber_ && phase_ == Phase::searching; }

  // True when `path` has no picture yet and none is being made.
  bool needsPicture(const std::string& path) const;
  void storePicture(const std::string& path, QImage image);
  // Decodes the file on a worker; `fallback` gives the picture, on the GUI thread, when it
  // cannot be decoded.
  void decodePicture(const std::string& path, QSize pixels, std::function<QImage()> fallback);

  FileServices services;
  std::shared_ptr<Thumbnailer> thumbnailer;
  Scheduler& scheduler;

private:
  // One move to the Trash as it goes.
  struct MoveRun {
    Gain gain;
    // Names the run in the history: each record of it replaces the one before.
    std::string id{};
    std::set<std::string> moved{};
    // Moved, or found already gone.
    std::set<std::string> gone{};
    // What the files moved so far gave back, each capped by its measure just before its move.
    std::int64_t freed = 0;
    std::vector<std::string> names{};
    std::vector<CleanReport::Failure> failures{};
    std::vector<TrashedFile> movedFiles{};
  };

  Flow moveFlow(std::vector<SetMove> moves);
  // Folds one file's move into the run; `heldBytes` is what the file gave back as measured
  // just before its move.
  static void take(MoveRun& run, const TrashOutcome& outcome, std::int64_t heldBytes);
  CleanupRecord recordOf(const MoveRun& run) const;
  void finishMove(const MoveRun& run);

  Phase phase_ = Phase::idle;
  std::set<std::string> selection_;
  bool isConfirming_ = false;
  std::vector<CleanReport::Failure> failures_;
  std::map<std::string, QImage> thumbnails_;
  std::set<std::string> picturesInFlight;
  bool moving = false;
  bool finishingSoon_ = false;
  int searchNumber_ = 0;
  std::string home_;
  PathGuard guardian_;
};

}  // namespace tidra
