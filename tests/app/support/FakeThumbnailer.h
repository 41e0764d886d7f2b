#pragma once

#include "platform/Thumbnailer.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

// Pictures without decoding: files named decodable give a picture, every other file none.
// Each image carries its origin in the text key "made" ("thumbnail", "fileIcon", "typeIcon",
// "appIcon"; an app icon also the name it was asked for, in "asked"), and every decode asked
// for is recorded. `thumbnail` is safe from a worker.
class FakeThumbnailer final : public Thumbnailer {
public:
  void decodable(const std::string& path);

  std::optional<QImage> thumbnail(const std::string& path, QSize pixels) const override;
  QImage fileIcon(const std::string& path, QSize pixels) const override;
  QImage typeIcon(const std::string& path, QSize pixels) const override;
  QImage appIcon(const std::string& bundleID, QSize pixels) const override;

  std::vector<std::string> decodesAsked() const;

  // Where an image came from, as stamped by this fake.
  static QString madeBy(const QImage& image) { return image.text("made"); }

private:
  mutable std::mutex mutex;
  std::set<std::string> pictures;
  mutable std::vector<std::string> asked;
};

}  // namespace tidra::test
