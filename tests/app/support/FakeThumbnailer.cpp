#include "support/FakeThumbnailer.h"

namespace tidra::test {

namespace {

QImage stamped(QSize pixels, const QString& made) {
  QImage image(pixels, QImage::Format_RGB32);
  image.fill(Qt::gray);
  image.setText("made", made);
  return image;
}

}  // namespace

void FakeThumbnailer::decodable(const std::string& path) {
  std::lock_guard lock(mutex);
  pictures.insert(path);
}

std::optional<QImage> FakeThumbnailer::thumbnail(const std::string& path, QSize pixels) const {
  std::lock_guard lock(mutex);
  asked.push_back(path);
  if (!pictures.contains(path)) return std::nullopt;
  return stamped(pixels, "thumbnail");
}

QImage FakeThumbnailer::fileIcon(const std::string&, QSize pixels) const { return stamped(pixels, "fileIcon"); }
QImage FakeThumbnailer::typeIcon(const std::string&, QSize pixels) const { return stamped(pixels, "typeIcon"); }
QImage FakeThumbnailer::appIcon(const std::string& bundleID, QSize pixels) const {
  auto image = stamped(pixels, "appIcon");
  image.setText(QStringLiteral("asked"), QString::fromStdString(bundleID));
  return image;
}

std::vector<std::string> FakeThumbnailer::decodesAsked() const {
  std::lock_guard lock(mutex);
  return asked;
}

}  // namespace tidra::test
