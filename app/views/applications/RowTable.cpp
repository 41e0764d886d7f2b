#include "views/applications/RowTable.h"

#include "views/design/FocusRing.h"
#include "views/design/StyledLabel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

namespace tidra {

namespace {

constexpr int rowPoints = 28;

}  // namespace

RowTable::RowTable(const QStringList& headers, QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(static_cast<int>(headers.size()));
  setHeaderLabels(headers);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setFrameShape(QFrame::NoFrame);
  setContextMenuPolicy(Qt::CustomContextMenu);
  header()->setSectionsMovable(false);
  header()->setSortIndicatorShown(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The table sits on a glass card: no fill or frame of its own, a hairline under the titles.
  setAttribute(Qt::WA_TranslucentBackground);
  viewport()->setAutoFillBackground(false);
  setStyleSheet(QStringLiteral("QTreeView { background: transparent; border: none; }"
                               "QHeaderView { background: transparent; border: none; }"
                               "QHeaderView::section { background-color: transparent; border: none;"
                               " border-bottom: 1px solid palette(mid); padding: 6px 6px; }"));
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    highlightSelectedCells();
    if (!filling && onSelectionEdited) onSelectionEdited(selectedIds());
  });
  connect(this, &QWidget::customContextMenuRequested, this, &RowTable::openMenu);
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    if (!onActivated) return;
    onActivated(menuRows(idOf(*item), selectedIds()));
  });
}

void RowTable::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QTreeWidget::drawRow(painter, option, index);
  if (index.row() != currentIndex().row() || !FocusRing::shows(this)) return;
  FocusRing::draw(*painter, QRectF(0, option.rect.top(), viewport()->width(), option.rect.height()), 4);
}

void RowTable::setRows(const std::vector<std::string>& ids, const FillRow& fill) {
  const int scrolled = verticalScrollBar()->value();
  filling = true;
  clear();
  for (const auto& id : ids) {
    auto* item = new QTreeWidgetItem(this);
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(id));
    item->setSizeHint(0, QSize(0, rowPoints));
    fill(*item, id);
  }
  filling = false;
  highlightSelectedCells();
  verticalScrollBar()->setValue(scrolled);
}

void RowTable::showSelection(const Ids& ids) {
  filling = true;
  for (int index = 0; index < topLevelItemCount(); ++index) {
    auto* item = topLevelItem(index);
    item->setSelected(ids.contains(idOf(*item)));
  }
  filling = false;
}

void RowTable::highlightSelectedCells() {
  for (int index = 0; index < topLevelItemCount(); ++index) {
    auto* item = topLevelItem(index);
    for (int column = 0; column < columnCount(); ++column)
      if (auto* cell = itemWidget(item, column))
        // StyledLabel has no meta-object of its own: a cast by meta-object would take any label.
        for (auto* label : cell->findChildren<QLabel*>())
          if (auto* styled = dynamic_cast<StyledLabel*>(label)) styled->setHighlighted(item->isSelected());
  }
}

RowTable::Ids RowTable::selectedIds() const {
  Ids ids;
  for (const auto* item : selectedItems()) ids.insert(idOf(*item));
  return ids;
}

std::string RowTable::idOf(const QTreeWidgetItem& item) const {
  return item.data(0, Qt::UserRole).toByteArray().toStdString();
}

int RowTable::columnNeeds(int column) const {
  return std::max(sizeHintForColumn(column), header()->sectionSizeHint(column));
}

RowTable::Ids RowTable::menuRows(const std::optional<std::string>& clicked, const Ids& selection) {
  if (!clicked) return {};
  if (selection.contains(*clicked)) return selection;
  return {*clicked};
}

void RowTable::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return QTreeWidget::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

void RowTable::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return QTreeWidget::mouseReleaseEvent(event);
  event->accept();
}

void RowTable::changeEvent(QEvent* event) {
  QTreeWidget::changeEvent(event);
  if (event->type() != QEvent::StyleChange) return;
  // The new appearance's palette is set just after its style: take it over on the next turn.
  QMetaObject::invokeMethod(this, [this] {
    const QPalette app = QApplication::palette();
    for (QWidget* part : {static_cast<QWidget*>(this), static_cast<QWidget*>(header())}) {
      QPalette own = part->palette();
      for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::HighlightedText,
                        QPalette::Highlight, QPalette::Mid})
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
          own.setColor(group, role, app.color(group, role));
      part->setPalette(own);
    }
  }, Qt::QueuedConnection);
}

void RowTable::openMenu(const QPoint& position) {
  if (!makeMenu) return;
  std::optional<std::string> clicked;
  if (const auto* item = itemAt(position)) clicked = idOf(*item);
  auto* menu = makeMenu(menuRows(clicked, selectedIds()));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(viewport()->mapToGlobal(position));
}

}  // namespace tidra
