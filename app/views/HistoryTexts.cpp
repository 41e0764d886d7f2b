#include "views/HistoryTexts.h"

namespace tidra::HistoryTexts {

QString unrecorded(const std::string& reason) {
  return QStringLiteral("It could not be added to the history (%1); Tidra adds it after the next removal.")
      .arg(QString::fromStdString(reason));
}

std::optional<QString> withUnrecorded(const std::optional<QString>& detail,
                                      const std::optional<std::string>& unrecorded) {
  if (!unrecorded) return detail;
  const auto sentence = HistoryTexts::unrecorded(*unrecorded);
  return detail ? *detail + QLatin1Char(' ') + sentence : sentence;
}

QString movedToTrash() { return QStringLiteral("Moved to the Trash"); }

}  // namespace tidra::HistoryTexts
