#include "views/design/SegmentedControl.h"

#include "views/design/FocusRing.h"
#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tidra {

namespace {
constexpr int kHeight = 24;
constexpr int kPadding = 14;
constexpr qreal kInset = 2;
constexpr qreal kRadius = 6;
}  // namespace

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent) : QWidget(parent), titles(titles) {
  setFont(Theme::font(Theme::TextStyle::body));
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedControl::setCurrentIndex(int index) {
  if (index < 0 || index >= titles.size() || index == current) return;
  current = index;
  update();
  emit currentChanged(index);
}

QSize SegmentedControl::sizeHint() const {
  // Equal segments, each as wide as the widest title needs.
  const QFontMetrics metrics(font());
  int widest = 0;
  for (const QString& title : titles) widest = std::max(widest, metrics.horizontalAdvance(title));
  return QSize(static_cast<int>(titles.size()) * (widest + 2 * kPadding) + 2 * static_cast<int>(kInset), kHeight);
}

QRectF SegmentedControl::segmentRect(int index) const {
  const qreal width = (this->width() - 2 * kInset) / std::max<qsizetype>(1, titles.size());
  return QRectF(kInset + index * width, kInset, width, height() - 2 * kInset);
}

void SegmentedControl::paintEvent(QPaintEvent*) {
  const bool dark = Theme::schemeOf(this) == Theme::Scheme::dark;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(Shapes::roundedRect(rect(), kRadius), QColor::fromRgbF(dark ? 1 : 0, dark ? 1 : 0, dark ? 1 : 0, dark ? 0.10f : 0.06f));
  for (int i = 0; i < titles.size(); ++i) {
    const QRectF segment = segmentRect(i);
    if (i == current) {
      const QPainterPath raised = Shapes::roundedRect(segment, kRadius - kInset);
      painter.fillPath(raised.translated(0, 0.5), QColor::fromRgbF(0, 0, 0, 0.12f));
      painter.fillPath(raised, dark ? QColor::fromRgbF(1, 1, 1, 0.26f) : QColor(Qt::white));
    } else if (i > 0 && i - 1 != current) {
      painter.setPen(QPen(Theme::color(Theme::Role::separator, this), 1));
      painter.drawLine(QPointF(segment.left(), segment.top() + 4), QPointF(segment.left(), segment.bottom() - 4));
    }
    painter.setFont(Theme::font(Theme::TextStyle::body, i == current ? QFont::Medium : QFont::Normal));
    painter.setPen(Theme::color(Theme::Role::label, this));
    painter.drawText(segment, Qt::AlignCenter, titles[i]);
  }
  if (FocusRing::shows(this)) FocusRing::draw(painter, rect(), kRadius);
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
  for (int i = 0; i < titles.size(); ++i)
    if (segmentRect(i).contains(event->position())) return setCurrentIndex(i);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Left) return setCurrentIndex(current - 1);
  if (event->key() == Qt::Key_Right) return setCurrentIndex(current + 1);
  QWidget::keyPressEvent(event);
}

}  // namespace tidra
