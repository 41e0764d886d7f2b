#pragma once

#include "views/design/Theme.h"

#include <QColor>
#include <QPushButton>

#include <optional>

namespace tidra {

// The action buttons of the interface. Primary is the action a card, footer or sheet is about
// (filled with the tint); secondary the actions beside it (a plain bordered button); link the
// text-like buttons inside rows and banners. There is no glass button style here, so every
// run draws the bordered looks the screenshots use.
class Button : public QPushButton {
public:
  enum class Look { primary, secondary, link };
  enum class Size { small, regular, large };

  Button(Look look, const QString& text, QWidget* parent = nullptr);

  // A symbol before the text, or alone when the text is empty.
  void setSymbol(const QString& symbol);
  void setControlSize(Size size);
  // The fill of a primary button or the text of a link; the accent when unset. Red marks a
  // destructive action.
  void setTint(Theme::Tint tint);
  // Lets the button grow to the width it is given instead of hugging its label.
  void setFlexible(bool flexible);

  Look look() const { return kind; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  // Pressed, hovered and keyboard-focused faces differ from the resting one.
  void paintEvent(QPaintEvent* event) override;
  // Return and Enter press the button while the keyboard has put the focus on it, also where
  // it is no default button (outside dialogs, and in confirmations that keep none). Focus that
  // a window merely gave it on opening does not count, so a stray Return there presses nothing.
  void keyPressEvent(QKeyEvent* event) override;

private:
  QColor tintColor() const;

  Look kind;
  Size controlSize = Size::regular;
  QString symbolName;
  std::optional<Theme::Tint> tint;
};

}  // namespace tidra
