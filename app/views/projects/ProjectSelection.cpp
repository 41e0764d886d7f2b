#include "views/RowKeys.h"
#include "views/projects/ProjectSelection.h"

namespace tidra::ProjectSelection {

bool allSelected(const QStringList& ids, const Paths& selection) {
  for (const auto& id : ids)
    if (!selection.contains(RowKeys::path(id))) return false;
  return true;
}

Paths toggledAll(const QStringList& ids, Paths selection) {
  const bool removing = allSelected(ids, selection);
  for (const auto& id : ids) {
    if (removing) selection.erase(RowKeys::path(id));
    else selection.insert(RowKeys::path(id));
  }
  return selection;
}

Paths with(Paths selection, const std::string& path, bool selected) {
  if (selected) selection.insert(path);
  else selection.erase(path);
  return selection;
}

QStringList ids(const Paths& paths) {
  QStringList list;
  for (const auto& path : paths) list << RowKeys::of(path);
  return list;
}

}  // namespace tidra::ProjectSelection
