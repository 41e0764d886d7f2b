#include "models/SimilarPhotosModel.h"

#include "Demo.h"
#include "files/DuplicateFinder.h"

namespace tidra {

namespace {
// 200 × 150 points at scale 2.
constexpr QSize cellPicture{400, 300};
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
  auto finding = runOn(Pool::user, [find = services.findSimilarPhotos, home = home(), progress = progressRelay()] {
    return find(DuplicateFinder::defaultRoots(home), SimilarPhotoFinder::threshold, progress);
  });
  auto groups = co_await finding;
  publish(std::move(groups));
}

void SimilarPhotosModel::loadThumbnail(const SimilarPhoto& photo) {
  if (!needsPicture(photo.path)) return;
  decodePicture(photo.path, cellPicture,
                [thumbnailer = thumbnailer, path = photo.path] { return thumbnailer->fileIcon(path, cellPicture); });
}

}  // namespace tidra
