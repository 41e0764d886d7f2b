#include "views/settings/SettingsTexts.h"

#include "views/Formats.h"

namespace tidra::SettingsTexts {

QString weeklyStatus(const std::optional<Date>& lastCheck, Date now) {
  if (!lastCheck) return QStringLiteral("Not checked yet");
  return QStringLiteral("Last checked ") + Formats::relativeDate(*lastCheck, now);
}

QString weeklyButton(bool checking) {
  return checking ? QStringLiteral("Checking…") : QStringLiteral("Check Now");
}

const std::vector<std::pair<QString, int>>& idleHourChoices() {
  static const std::vector<std::pair<QString, int>> choices{{QStringLiteral("1 hour"), 1},
                                                             {QStringLiteral("2 hours"), 2},
                                                             {QStringLiteral("4 hours"), 4},
                                                             {QStringLiteral("8 hours"), 8}};
  return choices;
}

QString loginProblem(const QString& reason) {
  return QStringLiteral("The system refused: ") + reason +
         QStringLiteral(" Check that ~/.config/autostart can be written.");
}

QString trayToggle() { return QStringLiteral("Show Tidra in the tray"); }

QString alertsNote() { return QStringLiteral("Alerts need Tidra to be running, in the tray or with its window open."); }

}  // namespace tidra::SettingsTexts
