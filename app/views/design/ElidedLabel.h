#pragma once

#include "views/design/StyledLabel.h"

namespace tidra {

// A one-line text that gives way when its row is short of room: it shows as much as fits with
// an ellipsis where the rest was ("Playwright brow…"), never a glyph cut in half, and offers the
// whole text as its tooltip while shortened. It asks for the room its whole text needs and
// accepts as little as an ellipsis and a few letters.
class ElidedLabel : public StyledLabel {
public:
  ElidedLabel(const QString& text, Theme::TextStyle style, Theme::Role role = Theme::Role::label,
              Qt::TextElideMode mode = Qt::ElideRight, int weight = -1, QWidget* parent = nullptr);

  void setText(const QString& text);
  // The whole text, whatever is shown.
  QString fullText() const { return whole; }
  // True while the text is shortened to fit.
  bool isElided() const { return QLabel::text() != whole; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void elide();

  QString whole;
  Qt::TextElideMode mode;
};

}  // namespace tidra
