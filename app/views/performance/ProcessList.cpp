#include "views/performance/ProcessList.h"

#include "models/AppModel.h"
#include "views/RowKeys.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/performance/ListScroll.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/ProcessRow.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;

namespace {

// Where the rows' content begins and ends: the scroll content's margin and the row's own.
constexpr int rowInset = 16 + 10;

QHBoxLayout* makeHeader(QWidget* header) {
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(rowInset, 12, rowInset, 4);
  row->setSpacing(12);
  const auto column = [row](const QString& text, int width, Qt::Alignment align) {
    auto* label = new StyledLabel(text, Theme::TextStyle::caption, Theme::Role::secondaryLabel, QFont::Medium);
    label->setAlignment(align | Qt::AlignVCenter);
    if (width > 0) label->setFixedWidth(width);
    row->addWidget(label, width > 0 ? 0 : 1);
  };
  // Spacers take no spacing beside them: each stands for a column and the gap after it.
  row->addSpacing(36);
  column(QStringLiteral("App"), 0, Qt::AlignLeft);
  column(QStringLiteral("Memory"), ProcessRow::memoryWidth, Qt::AlignRight);
  column(QStringLiteral("CPU"), ProcessRow::cpuWidth, Qt::AlignRight);
  row->addSpacing(12 + ProcessRow::quitWidth);
  return row;
}

}  // namespace

ProcessList::ProcessList(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
  setObjectName(QStringLiteral("processList"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* header = new QWidget;
  auto* headerRow = makeHeader(header);
  column->addWidget(header);
  rows = new KeyedRowList([this](const QString&) -> QWidget* {
    return new ProcessRow([this](const ProcessGroup& group) { confirmQuit(group); });
  });
  rows->setObjectName(QStringLiteral("processRows"));
  auto* scroll = wrapInScroll(rows);
  column->addWidget(scroll, 1);
  // The rows lose the scroll bar's width while it shows; the header's columns follow them.
  QScrollBar* bar = scroll->verticalScrollBar();
  connect(bar, &QScrollBar::rangeChanged, this, [headerRow, bar](int, int maximum) {
    QMargins margins = headerRow->contentsMargins();
    margins.setRight(rowInset + (maximum > 0 ? bar->sizeHint().width() : 0));
    headerRow->setContentsMargins(margins);
  });
  refresh();
}

void ProcessList::refresh() {
  const auto listed = T::listedGroups(model.processes());
  const double largest = T::largest(listed);
  const auto ownPid = static_cast<pid_t>(QCoreApplication::applicationPid());
  QStringList ids;
  for (const auto& group : listed) ids << RowKeys::of(group.id);
  rows->setKeys(ids);
  for (const auto& group : listed) {
    auto* row = static_cast<ProcessRow*>(rows->row(RowKeys::of(group.id)));
    row->show(group, largest, T::canQuit(group, ownPid), model.icons().value(QString::fromStdString(group.id)));
  }
}

// The dialog keeps the group as it was chosen, whatever the next readings bring.
void ProcessList::confirmQuit(const ProcessGroup& group) {
  auto* dialog = new ConfirmationDialog(T::quitTitle(group), T::quitMessage(group), QStringLiteral("Force Quit"),
                                        true, this);
  dialog->setObjectName(QStringLiteral("quitDialog"));
  dialog->actionButton()->setObjectName(QStringLiteral("forceQuit"));
  auto* polite = new Button(Button::Look::secondary, QStringLiteral("Quit"), dialog);
  polite->setObjectName(QStringLiteral("politeQuit"));
  if (auto* row = qobject_cast<QHBoxLayout*>(dialog->body()->itemAt(dialog->body()->count() - 1)->layout()))
    row->insertWidget(row->indexOf(dialog->actionButton()), polite);
  // Enter asks; ending at once and losing unsaved work takes a deliberate click.
  dialog->actionButton()->setDefault(false);
  polite->setDefault(true);
  using Mode = AppModel::QuitMode;
  connect(dialog->actionButton(), &QPushButton::clicked, this, [this, group] { model.quit(group, Mode::force); });
  connect(polite, &QPushButton::clicked, this, [this, group] { model.quit(group, Mode::polite); });
  connect(polite, &QPushButton::clicked, dialog, &QDialog::accept);
  connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
  dialog->open();
}

}  // namespace tidra::performance
