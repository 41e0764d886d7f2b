#include "views/diagnosis/DiagnosisSheet.h"

#include "models/AppModel.h"
#include "models/BackgroundMonitor.h"
#include "models/Diagnosis.h"
#include "views/design/ClearScroll.h"
#include "views/design/Divider.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/StyledLabel.h"
#include "views/diagnosis/DiagnosisView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace tidra {

DiagnosisSheet::DiagnosisSheet(AppModel& model, BackgroundMonitor& monitor, QWidget* parent)
    : Sheet(parent), model(model), monitor(monitor) {
  setObjectName(QStringLiteral("diagnosisSheet"));
  setBackdrop(true);
  setFixedSize(580, 560);
  QVBoxLayout* column = body();
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(makeHeader());
  column->addWidget(new Divider(this));

  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("diagnosisScroll"));
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* content = new QWidget(scroll);
  auto* padded = new QVBoxLayout(content);
  padded->setContentsMargins(20, 20, 20, 20);
  padded->addWidget(new DiagnosisView(model, false, content));
  showThrough(scroll, content);
  column->addWidget(scroll, 1);

  column->addWidget(new Divider(this));
  column->addWidget(makeFooter());

  connect(&model.diagnosis(), &Diagnosis::phaseChanged, this, &DiagnosisSheet::refresh);
  // Any way of closing (Done, Return, Escape) ends the presentation.
  connect(this, &QDialog::finished, this, [this] { this->model.diagnosis().setPresented(false); });
  refresh();
}

QWidget* DiagnosisSheet::makeHeader() {
  auto* header = new QWidget(this);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(20, 20, 20, 20);
  row->setSpacing(12);
  row->addWidget(new IconChip(QStringLiteral("stethoscope"), Brand::blue(), 34, header));
  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(new StyledLabel(QStringLiteral("Why is my computer slow?"), Theme::TextStyle::title2,
                                   Theme::Role::label, QFont::DemiBold, header));
  texts->addWidget(new StyledLabel(QStringLiteral("What is holding it back right now, and what to do about it."),
                                   Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, header));
  row->addLayout(texts, 1);
  return header;
}

QWidget* DiagnosisSheet::makeFooter() {
  auto* footer = new QWidget(this);
  auto* row = new QHBoxLayout(footer);
  row->setContentsMargins(16, 16, 16, 16);
  checkAgain = new Button(Button::Look::secondary, QStringLiteral("Check Again"), footer);
  checkAgain->setObjectName(QStringLiteral("checkAgain"));
  checkAgain->setAutoDefault(false);
  connect(checkAgain, &QPushButton::clicked, this, &DiagnosisSheet::runCheck);
  row->addWidget(checkAgain);
  row->addStretch(1);
  auto* done = new Button(Button::Look::primary, QStringLiteral("Done"), footer);
  done->setObjectName(QStringLiteral("done"));
  done->setDefault(true);
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
  row->addWidget(done);
  // Return means Done wherever the focus is: a finding's fix button would otherwise take it,
  // and a key press must never stop or quit anything.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter})
    connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, done, &QPushButton::click);
  return footer;
}

void DiagnosisSheet::showEvent(QShowEvent* event) {
  Sheet::showEvent(event);
  runCheck();
}

void DiagnosisSheet::runCheck() {
  model.diagnosis().run(model, [monitor = &monitor] { return monitor->idleTimes(); });
}

void DiagnosisSheet::refresh() {
  checkAgain->setEnabled(model.diagnosis().phase().kind != Diagnosis::Phase::Kind::checking);
}

}  // namespace tidra
