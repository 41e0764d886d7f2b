#include "views/duplicates/PhotosLibraryBanner.h"

namespace tidra::duplicates {

PhotosLibraryBanner::PhotosLibraryBanner(QWidget* parent)
    : Banner(QStringLiteral("photo.on.rectangle"), Theme::Role::secondaryLabel,
             QStringLiteral("Photos finds its own duplicates"),
             QStringLiteral("In Photos, open Duplicates under Utilities to merge them. Tidra leaves your Photos library "
                            "alone: changing files inside it would damage it."),
             parent) {
  setObjectName(QStringLiteral("photosLibraryBanner"));
}

}  // namespace tidra::duplicates
