#include "models/TrashPin.h"

#include <variant>

namespace tidra::TrashPin {

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::optional<std::string> entriesFolder(const CleanupItem& item) {
  const auto* contents = std::get_if<CleanupAction::DeleteContents>(&item.action.value);
  if (!contents || contents->paths.size() != 2) return std::nullopt;
  const auto& files = contents->paths[0];
  const auto& info = contents->paths[1];
  if (!endsWith(files, "/Trash/files") || info != files.substr(0, files.size() - 5) + "info") return std::nullopt;
  return files;
}

CleanupItem narrowed(const CleanupItem& item, const std::vector<std::string>& names) {
  auto pinned = item;
  const auto files = entriesFolder(item);
  if (!files) return pinned;
  const auto info = files->substr(0, files->size() - 5) + "info";
  std::vector<std::string> paths;
  for (const auto& name : names) {
    paths.push_back(*files + "/" + name);
    paths.push_back(info + "/" + name + ".trashinfo");
  }
  pinned.action = CleanupAction::Delete{std::move(paths)};
  return pinned;
}

}  // namespace tidra::TrashPin
