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
  if (!endsWith(files, "/Trash/files") || info != recordsFolder(files)) return std::nullopt;
  return files;
}

std::string recordsFolder(const std::string& entriesFolder) {
  return entriesFolder.substr(0, entriesFolder.size() - 5) + "info";
}

std::vector<std::string> names(const Pins& pins) {
  std::vector<std::string> all;
  for (const auto& [name, identity] : pins.files.entries) all.push_back(name);
  return all;
}

CleanupItem narrowed(const CleanupItem& item, const std::vector<std::string>& names, const Pins& pins) {
  auto pinned = item;
  const auto files = entriesFolder(item);
  if (!files) return pinned;
  const auto info = recordsFolder(*files);
  CleanupAction::Delete erase;
  for (const auto& name : names) {
    const auto record = name + ".trashinfo";
    erase.paths.push_back(*files + "/" + name);
    erase.measured.push_back({pins.files.identity, pins.files.of(name)});
    erase.paths.push_back(info + "/" + record);
    erase.measured.push_back({pins.info.identity, pins.info.of(record)});
  }
  pinned.action = std::move(erase);
  return pinned;
}

}  // namespace tidra::TrashPin
