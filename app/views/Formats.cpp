#include "views/Formats.h"

#include "fs/ByteFormat.h"
#include "platform/PathText.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace tidra::Formats {

QString bytes(std::int64_t count) { return QString::fromStdString(ByteFormat::string(count)); }

QString memory(std::int64_t count) { return QString::fromStdString(ByteFormat::memory(count)); }

QString grouped(std::int64_t number) { return QLocale().toString(static_cast<qlonglong>(number)); }

QString count(std::int64_t number, const char* one, const char* many) {
  return grouped(number) + QLatin1Char(' ') + QLatin1String(number == 1 ? one : many);
}

QString date(Date date) {
  const QLocale locale;
  // The locale's long date without its weekday and with the short month name: the order and
  // punctuation stay the locale's own.
  QString format = locale.dateFormat(QLocale::LongFormat);
  format.remove(QRegularExpression(QStringLiteral("d{4}[^dMy]*")));
  format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
  return locale.toString(QDateTime::fromSecsSinceEpoch(seconds).date(), format.trimmed());
}

namespace {

// The marks and embeddings, overrides and isolates of the bidirectional algorithm.
bool reordersText(char16_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::optional<QString> unreadableFolders(std::int64_t count) {
  if (count <= 0) return std::nullopt;
  return grouped(count) + (count == 1 ? QStringLiteral(" folder could not be read") : QStringLiteral(" folders could not be read"));
}

std::optional<QString> otherLinks(bool hasOtherLinks) {
  if (!hasOtherLinks) return std::nullopt;
  return QStringLiteral("other links keep its data");
}

QString fileName(const std::string& bytes) {
  const QString decoded = QString::fromStdString(bytes);
  QString shown;
  shown.reserve(decoded.size());
  for (const QChar c : decoded) {
    if (reordersText(c.unicode()))
      shown += QStringLiteral("\\u") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
    else shown += c;
  }
  return shown;
}

QString tildePath(const std::string& path, const std::string& home) {
  if (home != "/" && sys::PathText::isAtOrInside(path, home))
    return QStringLiteral("~") + fileName(path.substr(home.size()));
  return fileName(path);
}

namespace {

struct Unit {
  std::int64_t seconds;
  const char* one;
  const char* many;
  const char* lastOne;  // the named form for exactly one in the past ("yesterday")
  const char* nextOne;  // and in the future ("tomorrow")
};

QString counted(std::int64_t count, const Unit& unit, bool past) {
  if (count == 1 && past && unit.lastOne) return QString::fromLatin1(unit.lastOne);
  if (count == 1 && !past && unit.nextOne) return QString::fromLatin1(unit.nextOne);
  const QString amount = QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? unit.one : unit.many));
  return past ? amount + QStringLiteral(" ago") : QStringLiteral("in ") + amount;
}

}  // namespace

QString relativeDate(Date date, Date now) {
  static const Unit units[] = {
      {365 * 86'400, "year", "years", "last year", "next year"},
      {30 * 86'400, "month", "months", "last month", "next month"},
      {7 * 86'400, "week", "weeks", "last week", "next week"},
      {86'400, "day", "days", "yesterday", "tomorrow"},
      {3'600, "hour", "hours", nullptr, nullptr},
      {60, "minute", "minutes", nullptr, nullptr},
      {1, "second", "seconds", nullptr, nullptr},
  };
  const auto difference = std::chrono::duration_cast<std::chrono::seconds>(now - date).count();
  const bool past = difference >= 0;
  const std::int64_t magnitude = past ? difference : -difference;
  if (magnitude < 1) return QStringLiteral("now");
  for (const auto& unit : units)
    if (magnitude >= unit.seconds) return counted(magnitude / unit.seconds, unit, past);
  return QStringLiteral("now");
}

QString processLines(const std::vector<ProcessGroup::Process>& processes, std::size_t limit) {
  QString lines;
  for (std::size_t i = 0; i < processes.size() && i < limit; ++i) {
    const auto& process = processes[i];
    lines += QStringLiteral("\n• ") + fileName(process.command);
    if (process.folder) lines += QStringLiteral(" — in ") + fileName(*process.folder);
  }
  if (processes.size() > limit)
    lines += QStringLiteral("\n• and %1 more").arg(static_cast<qlonglong>(processes.size() - limit));
  return lines;
}

}  // namespace tidra::Formats
