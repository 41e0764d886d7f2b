#include "snapshot/Snapshot.h"

#include "Demo.h"
#include "runtime/Scheduler.h"

#include <algorithm>

namespace tidra::Snapshot {

std::optional<QString> value(const QStringList& arguments, const QString& option) {
  const auto at = arguments.indexOf(option);
  if (at < 0 || at + 1 >= arguments.size()) return std::nullopt;
  return arguments.at(at + 1);
}

bool cleans(const QStringList& arguments) {
  return arguments.contains(QStringLiteral("--snapshot-clean")) &&
         (value(arguments, QStringLiteral("--home")) || Demo::requested(arguments));
}

std::vector<Section> requestedSections(const QStringList& arguments) {
  const auto list = value(arguments, QStringLiteral("--snapshot-sections"));
  if (!list) return {allSections().begin(), allSections().end()};
  std::vector<Section> sections;
  for (const QString& piece : list->split(QLatin1Char(','), Qt::SkipEmptyParts))
    if (const auto section = sectionFromRawValue(piece)) sections.push_back(*section);
  return sections;
}

SleepFor settle(Scheduler& scheduler, std::chrono::milliseconds pause) {
  return sleepFor(scheduler, std::max(pause, std::chrono::milliseconds{0}));
}

}  // namespace tidra::Snapshot
