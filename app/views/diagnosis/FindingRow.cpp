#include "views/diagnosis/FindingRow.h"

#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/Motion.h"
#include "views/design/Shapes.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"
#include "views/diagnosis/DiagnosisTexts.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tidra {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }

// The row's spring when its confirmation opens or closes.
constexpr double kConfirmResponse = 0.2;
}  // namespace

FindingRow::FindingRow(const SlownessFinding& finding, bool compact, std::function<void()> apply, QWidget* parent)
    : QWidget(parent), finding(finding), compact(compact), apply(std::move(apply)) {
  const int padding = compact ? 10 : 14;
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(padding, padding, padding, padding);
  row->setSpacing(compact ? 10 : 12);
  row->addWidget(new IconChip(text(finding.symbol), DiagnosisTexts::levelTint(finding.level), compact ? 26 : 32, this),
                 0, Qt::AlignTop);

  auto* column = new QVBoxLayout;
  column->setSpacing(4);
  auto* title = compact ? new StyledLabel(text(finding.title), Theme::TextStyle::callout, Theme::Role::label, QFont::DemiBold, this)
                        : new StyledLabel(text(finding.title), Theme::TextStyle::headline, Theme::Role::label, -1, this);
  title->setWordWrap(true);
  column->addWidget(title);
  auto* detail = new StyledLabel(text(finding.detail), compact ? Theme::TextStyle::caption : Theme::TextStyle::callout,
                                 Theme::Role::secondaryLabel, -1, this);
  detail->setWordWrap(true);
  column->addWidget(detail);
  if (finding.fixTitle) {
    column->addSpacing(2);
    // The whole width, so the confirmation's consequence wraps to every line it needs.
    column->addWidget(makeFixArea());
  }
  row->addLayout(column, 1);
  refreshFixArea();
}

QWidget* FindingRow::makeFixArea() {
  fixArea = new QWidget(this);
  auto* stack = new QVBoxLayout(fixArea);
  stack->setContentsMargins(0, 0, 0, 0);
  const bool confirms = DiagnosisTexts::confirmation(finding).has_value();
  fixButton = new Button(Button::Look::secondary,
                         DiagnosisTexts::fixButtonTitle(text(*finding.fixTitle), confirms), fixArea);
  fixButton->setObjectName(QStringLiteral("fix"));
  fixButton->setControlSize(compact ? Button::Size::small : Button::Size::regular);
  connect(fixButton, &QPushButton::clicked, this, &FindingRow::pressFix);
  stack->addWidget(fixButton, 0, Qt::AlignLeft);
  if (confirms) stack->addWidget(makeConfirmation());
  stack->addWidget(makeDone(), 0, Qt::AlignLeft);
  return fixArea;
}

QWidget* FindingRow::makeConfirmation() {
  const auto words = *DiagnosisTexts::confirmation(finding);
  confirmationArea = new QWidget(fixArea);
  auto* column = new QVBoxLayout(confirmationArea);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  auto* consequence = new StyledLabel(words.consequence, compact ? Theme::TextStyle::caption : Theme::TextStyle::callout,
                                      Theme::Role::label, -1, confirmationArea);
  consequence->setObjectName(QStringLiteral("consequence"));
  consequence->setWordWrap(true);
  column->addWidget(consequence);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  const auto size = compact ? Button::Size::small : Button::Size::regular;
  auto* cancel = new Button(Button::Look::secondary, QStringLiteral("Cancel"), confirmationArea);
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setControlSize(size);
  connect(cancel, &QPushButton::clicked, this, [this] {
    confirming = false;
    refreshFixArea();
    Motion::fadeIn(fixButton, kConfirmResponse);
  });
  auto* confirm = new Button(Button::Look::primary, words.verb, confirmationArea);
  confirm->setObjectName(QStringLiteral("confirm"));
  confirm->setControlSize(size);
  confirm->setTint(Theme::Role::red);
  connect(confirm, &QPushButton::clicked, this, [this] { apply(); });
  buttons->addWidget(cancel);
  buttons->addWidget(confirm);
  buttons->addStretch(1);
  column->addLayout(buttons);
  return confirmationArea;
}

QWidget* FindingRow::makeDone() {
  done = new QWidget(fixArea);
  done->setObjectName(QStringLiteral("done"));
  auto* line = new QHBoxLayout(done);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(4);
  const auto style = compact ? Theme::TextStyle::caption : Theme::TextStyle::callout;
  line->addWidget(new SymbolView(QStringLiteral("checkmark.circle.fill"), Theme::Role::green, Theme::pixelSize(style), done));
  line->addWidget(new StyledLabel(QStringLiteral("Done"), style, Theme::Role::green, QFont::Medium, done));
  return done;
}

void FindingRow::setApplied(bool isApplied) {
  if (applied == isApplied) return;
  applied = isApplied;
  refreshFixArea();
}

void FindingRow::pressFix() {
  if (!DiagnosisTexts::confirmation(finding)) {
    apply();
    return;
  }
  confirming = true;
  refreshFixArea();
  if (!applied) Motion::fadeIn(confirmationArea, kConfirmResponse);
}

void FindingRow::refreshFixArea() {
  if (!fixArea) return;
  // "Done" comes first, even over an open confirmation.
  done->setVisible(applied);
  if (confirmationArea) confirmationArea->setVisible(!applied && confirming);
  fixButton->setVisible(!applied && !(confirming && confirmationArea));
}

void FindingRow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor fill = DiagnosisTexts::levelTint(finding.level).resolve(this);
  fill.setAlphaF(0.09);
  painter.fillPath(Shapes::roundedRect(QRectF(rect()), 14), fill);
}

}  // namespace tidra
