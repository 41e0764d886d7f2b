#pragma once

#include "views/design/Banner.h"

namespace tidra::duplicates {

// Says that the photo library in Pictures is left alone. No button: this desktop has no photo
// manager assumed to open.
class PhotosLibraryBanner : public Banner {
public:
  explicit PhotosLibraryBanner(QWidget* parent = nullptr);
};

}  // namespace tidra::duplicates
