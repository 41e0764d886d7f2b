#include "runtime/LiveScheduler.h"

#include <QDateTime>
#include <QTimer>

namespace tidra {

LiveScheduler::LiveScheduler(std::optional<Clock::time_point> pinnedStart) : pinnedStart(pinnedStart) {}

std::optional<Scheduler::Clock::time_point> LiveScheduler::moment(const QString& text) {
  const QDateTime parsed = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
  if (!parsed.isValid()) return std::nullopt;
  return Clock::time_point(std::chrono::milliseconds(parsed.toMSecsSinceEpoch()));
}

Scheduler::Clock::time_point LiveScheduler::now() const {
  if (!pinnedStart) return Clock::now();
  return *pinnedStart + std::chrono::duration_cast<Clock::duration>(std::chrono::steady_clock::now() - started);
}

void LiveScheduler::after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) {
  QTimer::singleShot(delay, context, std::move(fn));
}

}  // namespace tidra
