#pragma once

#include "cleanup/CleanReport.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QVBoxLayout;

namespace tidra::duplicates {

class FailureBanner;
class PhotosLibraryBanner;

// The notices at the top of a pane: the failures of its last move to the Trash, then the
// photo library note.
class PaneNotices : public QWidget {
public:
  // `dismiss` empties the pane's failures.
  PaneNotices(std::string home, std::function<void()> dismiss, QWidget* parent = nullptr);

  void refresh(const std::vector<CleanReport::Failure>& failures, bool hasPhotosLibrary);

private:
  std::string home;
  std::function<void()> dismiss;
  QVBoxLayout* column;
  std::vector<CleanReport::Failure> shownFailures;
  FailureBanner* failureBanner = nullptr;
  PhotosLibraryBanner* libraryBanner;
};

}  // namespace tidra::duplicates
