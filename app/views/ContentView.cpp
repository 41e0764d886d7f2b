#include "views/ContentView.h"

#include "models/AppModel.h"
#include "views/PlaceholderScreen.h"
#include "views/Sidebar.h"
#include "views/design/Backdrop.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

namespace tidra {

ContentView::ContentView(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
  setObjectName(QStringLiteral("content"));
  setMinimumSize(leastWidth, leastHeight);
  list = new Sidebar(model, this);
  detail = new Backdrop(this);
  detail->setObjectName(QStringLiteral("detail"));
  auto* detailColumn = new QVBoxLayout(detail);
  detailColumn->setContentsMargins(0, 0, 0, 0);

  split = new QSplitter(Qt::Horizontal, this);
  split->setChildrenCollapsible(false);
  split->setHandleWidth(1);
  split->addWidget(list);
  split->addWidget(detail);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({Sidebar::ideal, leastWidth - Sidebar::ideal});

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(split);

  showSection();
  connect(&model, &AppModel::sectionChanged, this, &ContentView::showSection);
}

QWidget* ContentView::makeScreen(std::optional<Section> section) {
  // Each screen replaces its placeholder here as it is built.
  const Sidebar::Row& entry = Sidebar::row(section.value_or(Section::overview));
  return new PlaceholderScreen(entry.title, entry.symbol);
}

void ContentView::showSection() {
  QWidget* next = makeScreen(model.section());
  next->setParent(detail);
  detail->layout()->addWidget(next);
  if (current != nullptr) {
    // Later, not now: the old screen may be the one whose button changed the section.
    detail->layout()->removeWidget(current);
    current->hide();
    current->deleteLater();
  }
  current = next;
  current->show();
}

void ContentView::setDiagnosisPresented(bool presented) {
  if (presented == (sheet != nullptr)) return;
  if (!presented) {
    QDialog* closing = sheet;
    sheet = nullptr;
    closing->close();
    closing->deleteLater();
    return;
  }
  if (!makeDiagnosisSheet) return;
  sheet = makeDiagnosisSheet(this);
  connect(sheet, &QDialog::finished, this, [this, opened = sheet] {
    if (sheet != opened) return;  // closed by setDiagnosisPresented(false)
    sheet = nullptr;
    opened->deleteLater();
    if (diagnosisDismissed) diagnosisDismissed();
  });
  sheet->open();
}

}  // namespace tidra
