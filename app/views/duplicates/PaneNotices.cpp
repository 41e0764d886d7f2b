#include "views/duplicates/PaneNotices.h"

#include "views/duplicates/FailureBanner.h"
#include "views/duplicates/PhotosLibraryBanner.h"

#include <QVBoxLayout>

namespace tidra::duplicates {

PaneNotices::PaneNotices(std::string home, std::function<void()> dismiss, QWidget* parent)
    : QWidget(parent), home(std::move(home)), dismiss(std::move(dismiss)), column(new QVBoxLayout(this)) {
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(10);
  libraryBanner = new PhotosLibraryBanner(this);
  column->addWidget(libraryBanner);
}

void PaneNotices::refresh(const std::vector<CleanReport::Failure>& failures, bool hasPhotosLibrary) {
  if (failures != shownFailures) {
    shownFailures = failures;
    // Later, not now: this may run inside the banner's own "Dismiss".
    if (failureBanner) {
      failureBanner->hide();
      column->removeWidget(failureBanner);
      failureBanner->deleteLater();
      failureBanner = nullptr;
    }
    if (!failures.empty()) {
      failureBanner = new FailureBanner(failures, home, dismiss, this);
      column->insertWidget(0, failureBanner);
    }
  }
  libraryBanner->setVisible(hasPhotosLibrary);
  setVisible(failureBanner || hasPhotosLibrary);
}

}  // namespace tidra::duplicates
