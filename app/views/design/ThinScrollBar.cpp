#include "views/design/ThinScrollBar.h"

#include <QPainter>
#include <QStyleOptionSlider>

#include <algorithm>

namespace tidra::ThinScrollBar {

namespace {

constexpr int kShortestHandle = 28;
constexpr qreal kHandleWidth = 6;

bool horizontal(const QStyleOptionSlider& bar) { return bar.orientation == Qt::Horizontal; }

// The run the handle moves along, inset from both ends.
QRect groove(const QStyleOptionSlider& bar) {
  const QRect all = bar.rect;
  return horizontal(bar) ? all.adjusted(endInset, 0, -endInset, 0) : all.adjusted(0, endInset, 0, -endInset);
}

}  // namespace

QRect partRect(const QStyleOptionSlider& bar, QStyle::SubControl part) {
  const QRect run = groove(bar);
  if (part == QStyle::SC_ScrollBarGroove) return run;
  if (part != QStyle::SC_ScrollBarSlider && part != QStyle::SC_ScrollBarAddPage && part != QStyle::SC_ScrollBarSubPage)
    return {};
  const int length = horizontal(bar) ? run.width() : run.height();
  const qint64 range = qint64(bar.maximum) - bar.minimum;
  const int handle = range <= 0 ? length
                                : std::clamp(int(qint64(length) * bar.pageStep / (range + bar.pageStep)),
                                             std::min(kShortestHandle, length), length);
  const int offset = QStyle::sliderPositionFromValue(bar.minimum, bar.maximum, bar.sliderPosition, length - handle,
                                                     bar.upsideDown);
  // Along the run, [from, to): the page before the handle, the handle, or the page after it.
  const int from = part == QStyle::SC_ScrollBarSubPage ? 0 : part == QStyle::SC_ScrollBarAddPage ? offset + handle : offset;
  const int to = part == QStyle::SC_ScrollBarSubPage ? offset : part == QStyle::SC_ScrollBarAddPage ? length : offset + handle;
  return horizontal(bar) ? QRect(run.left() + from, run.top(), to - from, run.height())
                         : QRect(run.left(), run.top() + from, run.width(), to - from);
}

void draw(const QStyleOptionSlider& bar, QPainter& painter) {
  if (bar.minimum == bar.maximum) return;
  const QRectF handle = partRect(bar, QStyle::SC_ScrollBarSlider);
  const qreal inset = (extent - kHandleWidth) / 2;
  const QRectF line = horizontal(bar) ? handle.adjusted(0, inset, 0, -inset) : handle.adjusted(inset, 0, -inset, 0);
  const bool active = (bar.activeSubControls & QStyle::SC_ScrollBarSlider) &&
                      (bar.state & (QStyle::State_MouseOver | QStyle::State_Sunken));
  QColor ink = bar.palette.color(QPalette::WindowText);
  ink.setAlphaF(active ? 0.5f : 0.3f);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  painter.drawRoundedRect(line, kHandleWidth / 2, kHandleWidth / 2);
  painter.restore();
}

}  // namespace tidra::ThinScrollBar
