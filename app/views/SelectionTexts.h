#pragma once

#include <QString>

#include <set>
#include <string>
#include <vector>

// The words and the select-all rule every list of things to remove shares (Cleanup, Projects).
namespace tidra::SelectionTexts {

// "1 item selected" / "<n> items selected".
QString count(int count);

// "Deselect All" when all are selected, else "Select All".
QString selectAllTitle(bool allSelected);

// Every one of `ids` is in `selection`. An empty list counts as all selected: its header reads
// "Deselect All", and pressing it changes nothing.
bool allSelected(const std::vector<std::string>& ids, const std::set<std::string>& selection);

// "Select All" adds the ids, "Deselect All" takes them out; other ids stay as they are.
std::set<std::string> toggledAll(const std::vector<std::string>& ids, std::set<std::string> selection);

// `selection` with `id` ticked or unticked, as one row's checkbox says.
std::set<std::string> with(std::set<std::string> selection, const std::string& id, bool selected);

}  // namespace tidra::SelectionTexts
