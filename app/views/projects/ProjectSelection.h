#pragma once

#include <QStringList>

#include <set>
#include <string>

// Selection arithmetic the projects list's headers and rows share.
namespace tidra::ProjectSelection {

using Paths = std::set<std::string>;

// Every id is selected; an empty list counts as all selected.
bool allSelected(const QStringList& ids, const Paths& selection);
// "Deselect All" takes exactly these ids out; "Select All" adds them, others untouched.
Paths toggledAll(const QStringList& ids, Paths selection);
Paths with(Paths selection, const std::string& path, bool selected);
QStringList ids(const Paths& paths);

}  // namespace tidra::ProjectSelection
