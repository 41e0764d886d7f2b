#include "models/FileSetsModel.h"

#include "Demo.h"
#include "files/KeptFile.h"
#include "platform/PathText.h"

#include <QUuid>

#include <algorithm>
#include <climits>

namespace tidra {

FileSetsModel::FileSetsModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler,
                             std::string home, QObject* parent)
    : QObject(parent),
      services(std::move(services)),
      thumbnailer(std::move(thumbnailer)),
      scheduler(scheduler),
      home_(std::move(home)),
      guardian_(home_, "/Applications") {}

void FileSetsModel::setSelection(std::set<std::string> selection) {
  if (selection == selection_) return;
  selection_ = std::move(selection);
  emit selectionChanged();
}

void FileSetsModel::setConfirming(bool confirming) {
  if (confirming == isConfirming_) return;
  isConfirming_ = confirming;
  emit isConfirmingChanged();
}

void FileSetsModel::setFailures(std::vector<CleanReport::Failure> failures) {
  if (failures == failures_) return;
  failures_ = std::move(failures);
  emit failuresChanged();
}

void FileSetsModel::setPhase(Phase phase) {
  if (phase == phase_) return;
  phase_ = phase;
  emit phaseChanged();
}

void FileSetsModel::find() {
  if (phase_ == Phase::searching) return;
  ++searchNumber_;
  setPhase(Phase::searching);
  resetStage();
  setFailures({});
  setSelection({});
  search().start(this);
}

namespace {

// What moving one file did, and what it held on its own just before.
struct OneMove {
  TrashOutcome outcome;
  std::int64_t held = 0;
};

}  // namespace

void FileSetsModel::moveToTrash() {
  auto moves = setMoves();
  if (phase_ != Phase::ready || moves.empty() || moving) return;
  MoveRun run{gain()};
  if (Demo::isOn()) {
    // The demo's files are not on disk: each gives back what the sets say.
    for (const auto& move : moves)
      for (const auto& path : move.paths) take(run, {{path}, {}, {}}, INT64_MAX);
    finishMove(run);
    if (!run.names.empty() && onTrashed) onTrashed(recordOf(run));
    return;
  }
  moving = true;
  moveFlow(std::move(moves)).start(this);
}

Flow FileSetsModel::moveFlow(std::vector<SetMove> moves) {
  MoveRun run{gain(), QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString()};
  for (const auto& move : moves) {
    if (finishingSoon_) break;
    // A set whose keeper no longer stands moves nothing: its files become failures instead.
    const bool keeperStands = co_await runOn(Pool::user, move.keeperStands);
    if (!keeperStands) {
      for (const auto& path : move.paths) run.failures.push_back({path, KeptFile::changedReason});
      continue;
    }
    for (const auto& path : move.paths) {
      if (finishingSoon_) break;
      const auto moveOne = [services = services, guardian = guardian_, path] {
        const auto held = services.bytesNow(path);
        return OneMove{services.trashFiles(guardian, {path}), held};
      };
      const auto one = co_await runOn(Pool::user, moveOne);
      take(run, one.outcome, one.held);
      if (!run.names.empty() && onTrashed) onTrashed(recordOf(run));
    }
  }
  moving = false;
  finishMove(run);
}

void FileSetsModel::take(MoveRun& run, const TrashOutcome& outcome, std::int64_t heldBytes) {
  run.failures.insert(run.failures.end(), outcome.failures.begin(), outcome.failures.end());
  // A file that was already gone freed nothing here, but no list should show it any more.
  run.gone.insert(outcome.vanished.begin(), outcome.vanished.end());
  for (const auto& path : outcome.moved) {
    run.freed += std::clamp<std::int64_t>(run.gain(path, run.moved), 0, heldBytes);
    run.moved.insert(path);
    run.gone.insert(path);
    run.names.emplace_back(sys::PathText::lastComponent(path));
  }
  run.movedFiles.insert(run.movedFiles.end(), outcome.movedFiles.begin(), outcome.movedFiles.end());
}

CleanupRecord FileSetsModel::recordOf(const MoveRun& run) const {
  CleanupRecord record{scheduler.now(), source(), run.freed, run.names,
                       static_cast<std::int64_t>(run.failures.size())};
  record.trashedBytes = run.freed;
  record.trashedFiles = run.movedFiles;
  record.run = run.id;
  return record;
}

void FileSetsModel::finishMove(const MoveRun& run) {
  setFailures(run.failures);
  forget(run.gone);
  if (onGone) onGone(run.gone);
}

bool FileSetsModel::needsPicture(const std::string& path) const {
  return !thumbnails_.contains(path) && !picturesInFlight.contains(path);
}

void FileSetsModel::storePicture(const std::string& path, QImage image) {
  picturesInFlight.erase(path);
  thumbnails_[path] = std::move(image);
  emit thumbnailsChanged();
}

void FileSetsModel::decodePicture(const std::string& path, QSize pixels, std::function<QImage()> fallback) {
  picturesInFlight.insert(path);
  runThen(Pool::user, this, [thumbnailer = thumbnailer, path, pixels] { return thumbnailer->thumbnail(path, pixels); },
          [this, path, fallback = std::move(fallback)](std::optional<QImage> picture) {
            storePicture(path, picture ? std::move(*picture) : fallback());
          });
}

}  // namespace tidra
