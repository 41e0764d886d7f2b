#include "models/SimilarPhotosModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "demo/DemoPhotoArt.h"
#include "files/DuplicateFinder.h"

namespace tidra {

namespace {
// 200 × 150 points at scale 2.
constexpr QSize cellPicture{400, 300};
// The demo search's pretend progress.
constexpr std::int64_t demoPhotosPerStep = 9'731;
constexpr int demoPhotos = 1'284;
constexpr int demoReadStep = 107;
}  // namespace

SimilarPhotosModel::SimilarPhotosModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer,
                                       Scheduler& scheduler, std::string home, QObject* parent)
    : SetsModel(std::move(services), std::move(thumbnailer), scheduler, std::move(home), parent) {}

std::int64_t SimilarPhotosModel::reclaimable() const {
  std::int64_t total = 0;
  for (const auto& group : groups()) total += group.reclaimable();
  return total;
}

Flow SimilarPhotosModel::search() {
  if (Demo::isOn()) return searchDemo();
  return searchLive();
}

Flow SimilarPhotosModel::searchDemo() {
  using namespace std::chrono_literals;
  using Stage = SimilarPhotoFinder::Stage;
  auto groups = DemoMac::similarPhotoGroups(home(), scheduler.now());
  for (int step = 1; step <= 6; ++step) {
    setStage(Stage{Stage::Looking{demoPhotosPerStep * step}});
    co_await sleepFor(scheduler, 80ms);
  }
  for (int done = 0; done <= demoPhotos; done += demoReadStep) {
    setStage(Stage{Stage::Reading{done, demoPhotos}});
    co_await sleepFor(scheduler, 50ms);
  }
  publish(std::move(groups));
}

Flow SimilarPhotosModel::searchLive() {
  auto finding = [find = services.findSimilarPhotos, home = home(), progress = progressRelay()] {
    return find(DuplicateFinder::defaultRoots(home), SimilarPhotoFinder::threshold, progress);
  };
  auto groups = co_await runOn(Pool::user, finding);
  publish(std::move(groups));
}

void SimilarPhotosModel::loadThumbnail(const SimilarPhoto& photo) {
  if (!needsPicture(photo.path)) return;
  if (Demo::isOn()) {
    const auto [scene, variant] = placeOf(photo);
    storePicture(photo.path, DemoPhotoArt::image(scene, variant, cellPicture));
    return;
  }
  decodePicture(photo.path, cellPicture,
                [thumbnailer = thumbnailer, path = photo.path] { return thumbnailer->fileIcon(path, cellPicture); });
}

}  // namespace tidra
