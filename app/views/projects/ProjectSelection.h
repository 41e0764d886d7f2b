#pragma once

#include <QStringList>

#include <set>
#include <string>

// The select-all rule of `SelectionTexts` for the projects list's headers, whose ids are row keys.
namespace tidra::ProjectSelection {

using Paths = std::set<std::string>;

// Every id's path is selected; an empty list counts as all selected.
bool allSelected(const QStringList& ids, const Paths& selection);
// "Deselect All" takes exactly these ids out; "Select All" adds them, others untouched.
Paths toggledAll(const QStringList& ids, Paths selection);

}  // namespace tidra::ProjectSelection
