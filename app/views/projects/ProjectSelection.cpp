#include "views/projects/ProjectSelection.h"

namespace tidra::ProjectSelection {

bool allSelected(const QStringList& ids, const Paths& selection) {
  for (const auto& id : ids)
    if (!selection.contains(id.toStdString())) return false;
  return true;
}

Paths toggledAll(const QStringList& ids, Paths selection) {
  const bool removing = allSelected(ids, selection);
  for (const auto& id : ids) {
    if (removing) selection.erase(id.toStdString());
    else selection.insert(id.toStdString());
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
  for (const auto& path : paths) list << QString::fromStdString(path);
  return list;
}

}  // namespace tidra::ProjectSelection
