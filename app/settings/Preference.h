#pragma once

#include <QString>

namespace tidra {

class Preferences;

// The settings' keys and their registered defaults.
namespace Preference {

inline const QString showInMenuBar = QStringLiteral("showInMenuBar");
inline const QString alertWhenMemoryIsTight = QStringLiteral("alertWhenMemoryIsTight");
inline const QString alertWhenDiskIsLow = QStringLiteral("alertWhenDiskIsLow");
inline const QString weeklyReport = QStringLiteral("weeklyReport");
inline const QString weeklyAutoClean = QStringLiteral("weeklyAutoClean");
inline const QString alertWhenDevServerIsIdle = QStringLiteral("alertWhenDevServerIsIdle");
inline const QString devServerIdleHours = QStringLiteral("devServerIdleHours");
inline const QString stopIdleDevServers = QStringLiteral("stopIdleDevServers");
inline const QString persistenceIgnoreState = QStringLiteral("ApplePersistenceIgnoreState");
// No registered default: absent until first written.
inline const QString lastWeeklyCheck = QStringLiteral("lastWeeklyCheck");
// When the disk-nearly-full alert last fired, so its day of quiet holds across restarts.
inline const QString lastDiskAlert = QStringLiteral("lastDiskAlert");
inline const QString projectRoots = QStringLiteral("projectRoots");

// Registers the nine defaults (in memory; nothing is written).
void registerDefaults(Preferences& preferences);

}  // namespace Preference

}  // namespace tidra
