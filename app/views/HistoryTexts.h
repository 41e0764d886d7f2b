#pragma once

#include <QString>

#include <optional>
#include <string>

// The words every screen that removes uses when the history could not take a removal.
namespace tidra::HistoryTexts {

// "It could not be added to the history (<reason>); Tidra adds it after the next removal."
QString unrecorded(const std::string& reason);
// `detail` with that sentence after it when `unrecorded` names a reason; else `detail` as it is.
std::optional<QString> withUnrecorded(const std::optional<QString>& detail,
                                      const std::optional<std::string>& unrecorded);
// The title of the notice on screens that say nothing after a move that went well.
QString movedToTrash();

}  // namespace tidra::HistoryTexts
