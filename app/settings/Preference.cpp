#include "settings/Preference.h"

#include "settings/Preferences.h"

namespace tidra::Preference {

void registerDefaults(Preferences& preferences) {
  preferences.registerDefaults({
      {showInMenuBar, true},
      {alertWhenMemoryIsTight, true},
      {alertWhenDiskIsLow, true},
      {weeklyReport, true},
      {weeklyAutoClean, false},
      {alertWhenDevServerIsIdle, true},
      {devServerIdleHours, 2},
      {stopIdleDevServers, false},
      {persistenceIgnoreState, true},
  });
}

}  // namespace tidra::Preference
