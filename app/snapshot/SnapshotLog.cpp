#include "snapshot/Snapshot.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <cstdio>

namespace tidra::Snapshot {

namespace {

// The locale's long time format names the zone ("t", sometimes as "(t)", "[t]" or ", t"); the
// log shows the clock time only. Quoted literals are kept as they are.
QString withoutZone(const QString& format) {
  QString kept;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c != QLatin1Char('t')) kept += c;
  }
  static const QRegularExpression emptyBrackets(QStringLiteral(R"(\(\s*\)|\[\s*\])"));
  kept.remove(emptyBrackets);
  const auto loose = [](QChar c) { return c.isSpace() || c == QLatin1Char(','); };
  while (!kept.isEmpty() && loose(kept.front())) kept.remove(0, 1);
  while (!kept.isEmpty() && loose(kept.back())) kept.chop(1);
  return kept;
}

}  // namespace

QString logLine(const QString& message, const QTime& time, const QLocale& locale) {
  return QStringLiteral("snapshot ") + locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat))) +
         QStringLiteral(": ") + message;
}

void log(const QString& message) {
  const QByteArray line = logLine(message, QTime::currentTime(), QLocale()).toUtf8() + '\n';
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
  std::fflush(stdout);
}

}  // namespace tidra::Snapshot
