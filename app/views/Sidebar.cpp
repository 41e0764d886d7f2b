#include "views/Sidebar.h"

#include "models/AppModel.h"
#include "views/design/Appearance.h"
#include "views/design/Brand.h"
#include "views/design/FocusRing.h"
#include "views/design/Symbols.h"

#include <QEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace tidra {

namespace {

constexpr int symbolSize = 18;

QColor grey(qreal white) { return QColor::fromRgbF(float(white), float(white), float(white), 1.0f); }

// The desktop sidebar is a shade apart from the window, so the detail's backdrop reads as the page.
QColor sidebarBackground(Theme::Scheme scheme) {
  return scheme == Theme::Scheme::dark ? QColor(0x2a, 0x2a, 0x2e) : QColor(0xea, 0xea, 0xed);
}

// Draws a row as desktop sidebars do: a soft rounded highlight inset from the edges rather than
// the palette's saturated full-width selection.
class RowDelegate : public QStyledItemDelegate {
public:
  explicit RowDelegate(const Sidebar::LabelColors& colors, QObject* parent) : QStyledItemDelegate(parent), colors(colors) {}

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {Sidebar::ideal, rowHeight}; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF row = QRectF(option.rect).adjusted(10, 1, -10, -1);
    if (option.state.testFlag(QStyle::State_Selected)) {
      painter->setPen(Qt::NoPen);
      painter->setBrush(Theme::color(Theme::Role::quaternaryLabel, option.widget));
      painter->drawRoundedRect(row, 6, 6);
    }
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QRectF symbol(row.left() + 8, row.center().y() - symbolSize / 2.0, symbolSize, symbolSize);
    icon.paint(painter, symbol.toRect());
    painter->setPen(colors.text);
    painter->setFont(Theme::font(Theme::TextStyle::body));
    const QRectF text = row.adjusted(8 + symbolSize + 8, 0, -6, 0);
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
    if (option.state.testFlag(QStyle::State_HasFocus) && FocusRing::shows(option.widget))
      FocusRing::draw(*painter, row, 6);
    painter->restore();
  }

private:
  static constexpr int rowHeight = 30;
  const Sidebar::LabelColors& colors;
};

}  // namespace

const std::vector<Sidebar::Row>& Sidebar::rows() {
  static const std::vector<Row> table{
      {Section::overview, QStringLiteral("Overview"), QStringLiteral("gauge.with.dots.needle.50percent")},
      {Section::cleanup, QStringLiteral("Cleanup"), QStringLiteral("sparkles")},
      {Section::projects, QStringLiteral("Projects"), QStringLiteral("folder.badge.gearshape")},
      {Section::largeFiles, QStringLiteral("Large Files"), QStringLiteral("doc.viewfinder")},
      {Section::duplicates, QStringLiteral("Duplicates"), QStringLiteral("doc.on.doc")},
      {Section::applications, QStringLiteral("Applications"), QStringLiteral("square.grid.2x2")},
      {Section::performance, QStringLiteral("Performance"), QStringLiteral("memorychip")},
  };
  return table;
}

Sidebar::LabelColors Sidebar::snapshotColors(Theme::Scheme scheme) {
  if (scheme == Theme::Scheme::dark) return {grey(0.92), grey(0.8)};
  return {grey(0.1), grey(0.35)};
}

Sidebar::Sidebar(AppModel& model, QWidget* parent) : QListWidget(parent), model(model) {
  setObjectName(QStringLiteral("sidebar"));
  setMinimumWidth(narrowest);
  setMaximumWidth(widest);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(symbolSize, symbolSize));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setViewportMargins(0, 8, 0, 0);
  setItemDelegate(new RowDelegate(colors, this));
  for (const Row& entry : rows()) {
    auto* item = new QListWidgetItem(entry.title, this);
    item->setData(Qt::UserRole, rawValue(entry.section));
  }
  applyLook();
  showSection();
  connect(&model, &AppModel::sectionChanged, this, &Sidebar::showSection);
  connect(this, &QListWidget::itemSelectionChanged, this, &Sidebar::takeSelection);
}

std::optional<Section> Sidebar::highlighted() const {
  const QList<QListWidgetItem*> chosen = selectedItems();
  if (chosen.isEmpty()) return std::nullopt;
  return sectionFromRawValue(chosen.front()->data(Qt::UserRole).toString());
}

void Sidebar::showSection() {
  const QSignalBlocker quiet(this);
  clearSelection();
  if (const auto section = model.section()) {
    QListWidgetItem* chosen = item(static_cast<int>(*section));
    chosen->setSelected(true);
    setCurrentItem(chosen);
  }
  viewport()->update();
}

void Sidebar::takeSelection() { model.setSection(highlighted()); }

void Sidebar::changeEvent(QEvent* event) {
  QListWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyLook();
}

void Sidebar::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), sidebarBackground(Theme::schemeOf(this)));
  }
  QListWidget::paintEvent(event);
}

void Sidebar::applyLook() {
  const Theme::Scheme scheme = Theme::schemeOf(this);
  colors = {Theme::color(Theme::Role::label, scheme), Brand::accent()};
  if (Appearance::screenshotMode()) colors = snapshotColors(scheme);
  for (int index = 0; index < count(); ++index)
    item(index)->setIcon(Symbols::icon(rows()[static_cast<std::size_t>(index)].symbol, colors.symbol, symbolSize));
  viewport()->update();
}

}  // namespace tidra
