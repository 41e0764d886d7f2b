#include "models/FileSetsModel.h"

#include "Demo.h"
#include "files/KeptFile.h"

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

// Sets whose keeper no longer stands move nothing: their files become failures instead.
TrashOutcome trashWhereKeepersStand(const FileServices& services, const PathGuard& guardian,
                                    const std::vector<FileSetsModel::SetMove>& moves) {
  std::vector<std::string> paths;
  std::vector<CleanReport::Failure> held;
  for (const auto& move : moves) {
    if (move.keeperStands()) paths.insert(paths.end(), move.paths.begin(), move.paths.end());
    else
      for (const auto& path : move.paths) held.push_back({path, KeptFile::changedReason});
  }
  TrashOutcome outcome = paths.empty() ? TrashOutcome{} : services.trashFiles(guardian, paths);
  outcome.failures.insert(outcome.failures.begin(), held.begin(), held.end());
  return outcome;
}

}  // namespace

void FileSetsModel::moveToTrash() {
  auto moves = setMoves();
  if (phase_ != Phase::ready || moves.empty() || moving) return;
  if (Demo::isOn()) {
    std::vector<std::string> paths;
    for (const auto& move : moves) paths.insert(paths.end(), move.paths.begin(), move.paths.end());
    finishTrash({std::move(paths), {}, {}});
    return;
  }
  moving = true;
  moveFlow(std::move(moves)).start(this);
}

Flow FileSetsModel::moveFlow(std::vector<SetMove> moves) {
  auto trashing = [services = services, guardian = guardian_, moves = std::move(moves)] {
    return trashWhereKeepersStand(services, guardian, moves);
  };
  auto outcome = co_await runOn(Pool::user, trashing);
  moving = false;
  finishTrash(outcome);
}

void FileSetsModel::finishTrash(const TrashOutcome& outcome) {
  setFailures(outcome.failures);
  const std::set<std::string> moved(outcome.moved.begin(), outcome.moved.end());
  // Counted before forget() shrinks the sets; a file that was already gone freed nothing here.
  const Tally tally = this->tally(moved);
  std::set<std::string> gone = moved;
  gone.insert(outcome.vanished.begin(), outcome.vanished.end());
  forget(gone);
  if (onGone) onGone(gone);
  if (tally.names.empty() || !onTrashed) return;
  auto record = CleanupRecord{scheduler.now(), source(), tally.freed, tally.names,
                             static_cast<std::int64_t>(outcome.failures.size())};
  record.trashedBytes = tally.freed;
  record.trashedFiles = outcome.movedFiles;
  onTrashed(record);
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
