#include "views/SelectionTexts.h"

#include <algorithm>

namespace tidra::SelectionTexts {

QString count(int count) {
  return count == 1 ? QStringLiteral("1 item selected") : QStringLiteral("%1 items selected").arg(count);
}

QString selectAllTitle(bool allSelected) {
  return allSelected ? QStringLiteral("Deselect All") : QStringLiteral("Select All");
}

bool allSelected(const std::vector<std::string>& ids, const std::set<std::string>& selection) {
  return std::all_of(ids.begin(), ids.end(), [&](const std::string& id) { return selection.contains(id); });
}

std::set<std::string> toggledAll(const std::vector<std::string>& ids, std::set<std::string> selection) {
  const bool deselect = allSelected(ids, selection);
  for (const auto& id : ids) {
    if (deselect) selection.erase(id);
    else selection.insert(id);
  }
  return selection;
}

std::set<std::string> with(std::set<std::string> selection, const std::string& id, bool selected) {
  if (selected) selection.insert(id);
  else selection.erase(id);
  return selection;
}

}  // namespace tidra::SelectionTexts
