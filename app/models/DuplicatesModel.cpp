#include "models/DuplicatesModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "platform/FileAccess.h"

#include <utility>

namespace tidra {

namespace {
// 40 × 40 points at scale 2.
constexpr QSize rowPicture{80, 80};
// The demo search's pretend progress.
constexpr std::int64_t demoFilesPerStep = 9'731;
constexpr std::int64_t demoCompared = 214;
}  // namespace

QString DuplicatesModel::rawValue(Mode mode) {
  return mode == Mode::identical ? QStringLiteral("Identical Files") : QStringLiteral("Similar Photos");
}

std::optional<DuplicatesModel::Mode> DuplicatesModel::modeFrom(const QString& rawValue) {
  for (Mode mode : {Mode::identical, Mode::similar})
    if (DuplicatesModel::rawValue(mode) == rawValue) return mode;
  return std::nullopt;
}

DuplicatesModel::DuplicatesModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer,
                                 Scheduler& scheduler, std::string home, QObject* parent)
    : SetsModel(std::move(services), std::move(thumbnailer), scheduler, std::move(home), parent) {}

void DuplicatesModel::setMode(Mode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  emit modeChanged();
}

void DuplicatesModel::setThreshold(std::int64_t threshold) {
  if (threshold == threshold_) return;
  threshold_ = threshold;
  emit thresholdChanged();
}

void DuplicatesModel::setHasPhotosLibrary(bool has) {
  if (has == hasPhotosLibrary_) return;
  hasPhotosLibrary_ = has;
  emit hasPhotosLibraryChanged();
}

void DuplicatesModel::setUnreadableFolders(std::int64_t count) {
  if (count == unreadableFolders_) return;
  unreadableFolders_ = count;
  emit unreadableFoldersChanged();
}

Flow DuplicatesModel::search() {
  setUnreadableFolders(0);
  if (Demo::isOn()) return searchDemo();
  return searchLive();
}

Flow DuplicatesModel::searchDemo() {
  using namespace std::chrono_literals;
  setHasPhotosLibrary(false);
  auto groups = DemoMac::duplicateGroups(home(), scheduler.now());
  for (int step = 1; step <= 10; ++step) {
    setStage(DuplicateFinder::Looking{demoFilesPerStep * step});
    co_await sleepFor(scheduler, 80ms);
  }
  setStage(DuplicateFinder::Comparing{demoCompared, demoCompared});
  co_await sleepFor(scheduler, 300ms);
  publish(std::move(groups));
}

Flow DuplicatesModel::searchLive() {
  setHasPhotosLibrary(services.hasPhotosLibrary(home()));
  auto finding = [find = services.findDuplicates, home = home(), progress = progressRelay()] {
    std::int64_t unreadable = 0;
    auto groups = find(DuplicateFinder::defaultRoots(home), searchMinimum, home, progress,
                       [&](const std::string&) { ++unreadable; });
    return std::pair{std::move(groups), unreadable};
  };
  auto [groups, unreadable] = co_await runOn(Pool::user, finding);
  setUnreadableFolders(unreadable);
  publish(std::move(groups));
}

void DuplicatesModel::loadThumbnail(const DuplicateFile& file) {
  if (!needsPicture(file.path)) return;
  auto typeIcon = [thumbnailer = thumbnailer, path = file.path] { return thumbnailer->typeIcon(path, rowPicture); };
  if (!sys::existsFollowingLinks(file.path)) {
    storePicture(file.path, typeIcon());
    return;
  }
  decodePicture(file.path, rowPicture, typeIcon);
}

}  // namespace tidra
