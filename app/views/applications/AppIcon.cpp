#include "views/applications/AppIcon.h"

#include "models/ApplicationsModel.h"

#include <QLabel>
#include <QPixmap>

namespace tidra::applications {

QLabel* appIcon(const ApplicationsModel& model, const std::string& appPath, int side) {
  const auto found = model.icons().find(appPath);
  if (found == model.icons().end()) return nullptr;
  auto* image = new QLabel;
  image->setPixmap(QPixmap::fromImage(found->second.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  // A theme icon that is not square still takes a square's place, so the names line up.
  image->setFixedSize(side, side);
  image->setAlignment(Qt::AlignCenter);
  return image;
}

}  // namespace tidra::applications
