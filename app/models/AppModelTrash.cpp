// The Trash's figure: measured with the names of its entries, and measured again whenever
// Tidra changes it.

#include "models/AppModel.h"

#include "Demo.h"
#include "models/TrashPin.h"

#include <algorithm>

namespace tidra {

AppModel::Measurement AppModel::measureItem(const CleanupServices& cleanup, const std::string& home,
                                            const CleanupItem& item) {
  const auto folder = TrashPin::entriesFolder(item);
  if (!folder) return {item.id, cleanup.measure(item), std::nullopt, std::nullopt};
  // Names and identities come from one reading, so a clean erases exactly what is measured here.
  const auto read = [&](const std::string& path) { return cleanup.pinFolder(home, path).value_or(PinnedFolder{}); };
  TrashPin::Pins pins{read(*folder), read(TrashPin::recordsFolder(*folder))};
  auto names = TrashPin::names(pins);
  return {item.id, cleanup.measure(TrashPin::narrowed(item, names, pins)), std::move(names), std::move(pins)};
}

void AppModel::applyMeasurement(const Measurement& measured) {
  setSize(measured.id, measured.size);
  if (measured.trashEntries) trashEntries_ = *measured.trashEntries;
  if (measured.trashPins) trashPins_ = *measured.trashPins;
}

void AppModel::remeasureTrash() {
  if (Demo::isOn()) return;
  const auto trash = std::find_if(items_.begin(), items_.end(),
                                  [](const CleanupItem& item) { return TrashPin::entriesFolder(item).has_value(); });
  if (trash == items_.end()) return;
  const auto settled = [this] { return cleanupPhase_ == CleanupPhase::ready && !isConfirmingClean_; };
  trashStale_ = true;
  if (!settled() || trashMeasuring_) return;
  trashStale_ = false;
  trashMeasuring_ = true;
  runThen(Pool::user, this,
          [cleanup = services_.cleanup, home = environment_.home, item = *trash] { return measureItem(cleanup, home, item); },
          [this, settled](Measurement measured) {
            trashMeasuring_ = false;
            if (trashStale_) return remeasureTrash();  // this reading is already old
            trashStale_ = !settled();
            if (!trashStale_) applyMeasurement(measured);
          });
}

}  // namespace tidra
