#pragma once

#include "files/SimilarPhotoFinder.h"
#include "files/SimilarPhotoGroup.h"
#include "models/SetsModel.h"

namespace tidra {

// The similar-photos list of the Duplicates section: sets of camera photos that look alike,
// the best first; the user's pick of photos to move to the Trash. Every set is shown.
class SimilarPhotosModel final : public SetsModel<SimilarPhotoGroup, SimilarPhotoFinder::Stage> {
  Q_OBJECT

public:
  SimilarPhotosModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler,
                     std::string home, QObject* parent = nullptr);

  // What keeping only the best of every set would give back, clone-aware.
  std::int64_t reclaimable() const;
  std::vector<SimilarPhoto> selectedPhotos() const { return selectedMembers(); }
  int setsLosingEveryPhoto() const { return setsLosingEvery(); }
  // Every photo but the best of each set; earlier choices are dropped.
  void selectAllButTheBest() { selectAllButFirst(); }
  // Fills `thumbnails` for the cell: a decoded picture, else the file's own icon.
  void loadThumbnail(const SimilarPhoto& photo);

protected:
  Flow search() override;

private:
  Flow searchDemo();
  Flow searchLive();
  std::string source() const override { return "Similar photos"; }
};

}  // namespace tidra
