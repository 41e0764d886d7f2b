#include "views/overview/HistoryCard.h"

#include "models/AppModel.h"
#include "runtime/Scheduler.h"
#include "views/Formats.h"
#include "views/design/BigNumber.h"
#include "views/design/CardHeader.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/overview/OverviewTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tidra {

namespace {

QString key(const CleanupRecord& record) {
  return QString::number(std::chrono::duration_cast<std::chrono::milliseconds>(record.date.time_since_epoch()).count());
}

QWidget* recordRow() {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  for (const auto& [name, role] : {std::pair{"when", Theme::Role::label}, std::pair{"source", Theme::Role::secondaryLabel}}) {
    auto* label = new StyledLabel({}, Theme::TextStyle::callout, role, -1, row);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    line->addWidget(label);
  }
  line->addStretch(1);
  auto* bytes = new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::label, -1, row);
  bytes->setObjectName(QStringLiteral("freed"));
  line->addWidget(bytes);
  return row;
}

void showRecord(QWidget* row, const CleanupRecord& record, Formats::Date now) {
  row->findChild<StyledLabel*>(QStringLiteral("when"))->setText(Formats::relativeDate(record.date, now));
  row->findChild<StyledLabel*>(QStringLiteral("source"))->setText(QString::fromStdString(record.source));
  row->findChild<StyledLabel*>(QStringLiteral("freed"))->setText(Formats::bytes(record.freedBytes));
}

}  // namespace

HistoryCard::HistoryCard(AppModel& model, Scheduler& scheduler, QWidget* parent)
    : GlassCard(20, parent), model(model), scheduler(scheduler) {
  setObjectName(QStringLiteral("historyCard"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(18, 18, 18, 18);
  column->setSpacing(8);
  column->addWidget(new CardHeader(QStringLiteral("History"), QStringLiteral("clock.arrow.circlepath"), Theme::Role::green, this));
  empty = new StyledLabel(QStringLiteral("Nothing cleaned yet."), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  empty->setObjectName(QStringLiteral("nothingCleaned"));
  column->addWidget(empty);
  total = new QWidget(this);
  auto* totalRow = new QHBoxLayout(total);
  totalRow->setContentsMargins(0, 0, 0, 0);
  totalRow->setSpacing(6);
  freed = new BigNumber({}, 26, total);
  freed->setObjectName(QStringLiteral("totalFreed"));
  totalRow->addWidget(freed, 0, Qt::AlignBottom);
  totalRow->addWidget(new StyledLabel(QStringLiteral("freed with Tidra"), Theme::TextStyle::body, Theme::Role::secondaryLabel,
                                      -1, total),
                      0, Qt::AlignBottom);
  totalRow->addStretch(1);
  column->addWidget(total);
  rows = new KeyedRowList([](const QString&) { return recordRow(); }, this);
  rows->setObjectName(QStringLiteral("recentCleanups"));
  column->addWidget(rows);
}

void HistoryCard::refresh() {
  const auto& records = model.records();
  empty->setVisible(records.empty());
  total->setVisible(!records.empty());
  rows->setVisible(!records.empty());
  freed->setText(Formats::bytes(OverviewTexts::totalFreed(records)));
  const auto recent = OverviewTexts::recent(records);
  QStringList ids;
  for (const auto& record : recent) ids << key(record);
  rows->setKeys(ids);
  const auto now = scheduler.now();
  for (const auto& record : recent) showRecord(rows->row(key(record)), record, now);
  const auto youngest = std::max_element(recent.begin(), recent.end(),
                                         [](const auto& a, const auto& b) { return a.date < b.date; });
  if (youngest != recent.end()) ageLater(now - youngest->date);
}

// "when" counts seconds, then minutes, then hours: it is read again about as often as it moves.
void HistoryCard::ageLater(Scheduler::Clock::duration age) {
  using namespace std::chrono_literals;
  if (std::exchange(agingQueued, true)) return;
  const auto delay = age < 1min ? 1s : age < 1h ? 10s : 10min;
  scheduler.after(delay, this, [this] {
    agingQueued = false;
    refresh();
  });
}

}  // namespace tidra
