#pragma once

#include "views/design/StyledLabel.h"

namespace tidra {

// A one-line text that gives way when its row is short of room: it draws as much as fits with
// an ellipsis where the rest was ("Playwright brow…"), never a glyph cut in half, and offers the
// whole text as its tooltip while shortened. It asks for the room its whole text needs and
// accepts as little as an ellipsis and a few letters. `text()` is always the whole text.
class ElidedLabel : public StyledLabel {
public:
  ElidedLabel(const QString& text, Theme::TextStyle style, Theme::Role role = Theme::Role::label,
              Qt::TextElideMode mode = Qt::ElideRight, int weight = -1, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  // The text as drawn at the present width.
  QString shownText() const;

  Qt::TextElideMode mode;
};

}  // namespace tidra
