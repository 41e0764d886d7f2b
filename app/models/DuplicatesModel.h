#pragma once

#include "files/DuplicateFinder.h"
#include "files/DuplicateGroup.h"
#include "models/SetsModel.h"

#include <QString>

namespace tidra {

// The Duplicates section: sets of byte-identical files in the user's folders, the copy to keep
// first, filtered by a minimum size; the user's pick of copies to move to the Trash. Also
// holds which of the section's two lists is on show.
class DuplicatesModel final : public SetsModel<DuplicateGroup, DuplicateFinder::Stage> {
  Q_OBJECT

public:
  enum class Mode { identical, similar };
  // The picker's labels: "Identical Files", "Similar Photos".
  static QString rawValue(Mode mode);
  static std::optional<Mode> modeFrom(const QString& rawValue);

  // Files below this size are never searched, whatever the threshold shows.
  static constexpr std::int64_t searchMinimum = 1'000'000;

  DuplicatesModel(FileServices services, std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler,
                  std::string home, QObject* parent = nullptr);

  Mode mode() const { return mode_; }
  void setMode(Mode mode);
  // Smallest set size shown and acted on; changing it starts nothing.
  std::int64_t threshold() const { return threshold_; }
  void setThreshold(std::int64_t threshold);
  // The Pictures folder holds a photo library, which is left alone; set by each search.
  bool hasPhotosLibrary() const { return hasPhotosLibrary_; }
  // Folders the last search could not read (locked, or a path too long to open): their
  // copies are missing from the sets.
  std::int64_t unreadableFolders() const { return unreadableFolders_; }

  std::vector<DuplicateFile> selectedFiles() const { return selectedMembers(); }
  int setsLosingEveryCopy() const { return setsLosingEvery(); }
  // Every file but the first of each shown set; earlier choices are dropped.
  void selectExtraCopies() { selectAllButFirst(); }
  // Fills `thumbnails` for the row: a decoded picture, else the icon of the file's type.
  void loadThumbnail(const DuplicateFile& file);

signals:
  void modeChanged();
  void thresholdChanged();
  void hasPhotosLibraryChanged();
  void unreadableFoldersChanged();

protected:
  bool isShown(const DuplicateGroup& group) const override { return group.size >= threshold_; }
  Flow search() override;
  std::string source() const override { return "Duplicates"; }

private:
  void setHasPhotosLibrary(bool has);
  void setUnreadableFolders(std::int64_t count);
  Flow searchDemo();
  Flow searchLive();

  Mode mode_ = Mode::identical;
  std::int64_t threshold_ = 1'000'000;
  bool hasPhotosLibrary_ = false;
  std::int64_t unreadableFolders_ = 0;
};

}  // namespace tidra
