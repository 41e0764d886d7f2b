#include "views/settings/FormSection.h"

#include "views/design/Divider.h"
#include "views/design/GlassCard.h"
#include "views/design/StyledLabel.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace tidra {

namespace {

// A row's label that presses the row's switch, as the text beside a check box does: the switch
// alone is a small target.
class SwitchLabel : public StyledLabel {
public:
  SwitchLabel(const QString& text, QAbstractButton* target)
      : StyledLabel(text, Theme::TextStyle::body), target(target) {}

protected:
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && target->isEnabled())
      target->click();
  }

private:
  QAbstractButton* target;
};

}  // namespace

FormSection::FormSection(const QString& header, const QString& footer, QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  auto* title = new StyledLabel(header, Theme::TextStyle::subheadline, Theme::Role::secondaryLabel, QFont::DemiBold, this);
  title->setContentsMargins(10, 0, 0, 0);
  column->addWidget(title);
  card = new GlassCard(10, this);
  rows = new QVBoxLayout(card);
  rows->setContentsMargins(12, 4, 12, 4);
  rows->setSpacing(0);
  column->addWidget(card);
  if (footer.isEmpty()) return;
  auto* note = new StyledLabel(footer, Theme::TextStyle::footnote, Theme::Role::secondaryLabel, -1, this);
  note->setWordWrap(true);
  note->setContentsMargins(10, 0, 10, 0);
  column->addWidget(note);
}

void FormSection::addRow(QWidget* row, bool divided) {
  if (divided && rows->count() > 0) {
    rows->addWidget(new Divider(card));
  }
  if (divided) row->setMinimumHeight(34);
  rows->addWidget(row);
}

void FormSection::addRow(QWidget* leading, QWidget* control) {
  auto* row = new QWidget(card);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 4, 0, 4);
  leading->setParent(row);
  line->addWidget(leading, 1);
  control->setParent(row);
  line->addWidget(control);
  addRow(row);
}

void FormSection::addRow(const QString& label, QWidget* control) {
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (button != nullptr && button->isCheckable()) return addRow(new SwitchLabel(label, button), control);
  addRow(new StyledLabel(label, Theme::TextStyle::body), control);
}

}  // namespace tidra
