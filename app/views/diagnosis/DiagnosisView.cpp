#include "views/diagnosis/DiagnosisView.h"

#include "models/AppModel.h"
#include "models/Diagnosis.h"
#include "views/design/KeyedRowList.h"
#include "views/design/Motion.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"
#include "views/diagnosis/DiagnosisTexts.h"
#include "views/diagnosis/FindingRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace tidra {

namespace {
using Kind = Diagnosis::Phase::Kind;

// The column's spring when a check starts or ends.
constexpr double kColumnResponse = 0.5;

const SlownessFinding* findingWithId(const Diagnosis& diagnosis, const QString& id) {
  for (const auto& finding : diagnosis.phase().findings)
    if (QString::fromStdString(finding.id) == id) return &finding;
  return nullptr;
}
}  // namespace

DiagnosisView::DiagnosisView(AppModel& model, bool compact, QWidget* parent)
    : QWidget(parent), model(model), compact(compact) {
  setObjectName(QStringLiteral("diagnosisView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(compact ? 8 : 12);
  column->addWidget(makeProgress());
  column->addWidget(makeVerdict());
  rows = new KeyedRowList([this](const QString& id) { return makeRow(id); }, this);
  rows->setObjectName(QStringLiteral("findings"));
  rows->layout()->setSpacing(compact ? 8 : 12);
  column->addWidget(rows);
  column->addStretch(1);

  Diagnosis& diagnosis = model.diagnosis();
  connect(&diagnosis, &Diagnosis::phaseChanged, this, [this] { laterRefresh.schedule(); });
  connect(&diagnosis, &Diagnosis::appliedChanged, this, [this] { laterRefresh.schedule(); });
  refresh();
}

QWidget* DiagnosisView::makeProgress() {
  progress = new QWidget(this);
  progress->setObjectName(QStringLiteral("checking"));
  auto* row = new QHBoxLayout(progress);
  const int padding = compact ? 4 : 10;
  row->setContentsMargins(0, padding, 0, padding);
  row->setSpacing(10);
  row->addWidget(new Spinner(Spinner::Size::small, progress));
  auto* text = new StyledLabel(DiagnosisTexts::checkingText(),
                               compact ? Theme::TextStyle::callout : Theme::TextStyle::body,
                               Theme::Role::secondaryLabel, -1, progress);
  text->setWordWrap(true);
  row->addWidget(text, 1);
  return progress;
}

QWidget* DiagnosisView::makeVerdict() {
  verdict = new QWidget(this);
  verdict->setObjectName(QStringLiteral("verdict"));
  auto* row = new QHBoxLayout(verdict);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  const auto style = compact ? Theme::TextStyle::callout : Theme::TextStyle::title3;
  verdictSymbol = new SymbolView(QString(), Theme::Role::green, Theme::pixelSize(style), verdict);
  verdictTitle = new StyledLabel(QString(), style, Theme::Role::label, QFont::DemiBold, verdict);
  verdictTitle->setObjectName(QStringLiteral("verdictTitle"));
  verdictTitle->setWordWrap(true);
  row->addWidget(verdictSymbol);
  row->addWidget(verdictTitle, 1);
  return verdict;
}

QWidget* DiagnosisView::makeRow(const QString& id) {
  const SlownessFinding* finding = findingWithId(model.diagnosis(), id);
  auto* row = new FindingRow(*finding, compact, [this, id] {
    if (const SlownessFinding* current = findingWithId(model.diagnosis(), id))
      model.diagnosis().apply(*current, model);
  }, rows);
  row->setObjectName(QStringLiteral("finding.") + id);
  return row;
}

void DiagnosisView::refresh() {
  const Diagnosis& diagnosis = model.diagnosis();
  const auto& phase = diagnosis.phase();
  progress->setVisible(phase.kind == Kind::checking);
  verdict->setVisible(phase.kind == Kind::done);
  QStringList ids;
  if (phase.kind == Kind::done) {
    const auto words = DiagnosisTexts::verdict(phase.findings);
    verdictSymbol->setSymbol(words.symbol);
    verdictSymbol->setTint(words.tint);
    verdictTitle->setText(words.title);
    verdict->setAccessibleName(words.title);
    for (const auto& finding : phase.findings) ids << QString::fromStdString(finding.id);
  }
  rows->setKeys(ids);
  for (const QString& id : ids)
    static_cast<FindingRow*>(rows->row(id))->setApplied(diagnosis.applied().contains(id.toStdString()));
  rows->setVisible(!ids.isEmpty());
  // Only starting and finishing a check animate, not later changes of the findings.
  if (std::exchange(wasChecking, phase.kind == Kind::checking) == (phase.kind == Kind::checking)) return;
  for (auto* part : {progress, verdict, static_cast<QWidget*>(rows)})
    if (part->isVisibleTo(this)) Motion::fadeIn(part, kColumnResponse);
}

}  // namespace tidra
