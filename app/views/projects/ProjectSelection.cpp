#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/projects/ProjectSelection.h"

namespace tidra::ProjectSelection {

namespace {

std::vector<std::string> paths(const QStringList& ids) {
  std::vector<std::string> list;
  for (const auto& id : ids) list.push_back(RowKeys::path(id));
  return list;
}

}  // namespace

bool allSelected(const QStringList& ids, const Paths& selection) {
  return SelectionTexts::allSelected(paths(ids), selection);
}

Paths toggledAll(const QStringList& ids, Paths selection) {
  return SelectionTexts::toggledAll(paths(ids), std::move(selection));
}

}  // namespace tidra::ProjectSelection
