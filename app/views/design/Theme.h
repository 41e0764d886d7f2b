#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

namespace tidra::Theme {

enum class Scheme { light, dark };

// The text styles of the interface, set in Inter at the sizes of the desktop design they come
// from (logical pixels).
enum class TextStyle { largeTitle, title1, title2, title3, headline, body, callout, subheadline, footnote, caption };

// Colours that follow the appearance. The four label levels are the hierarchical foreground
// styles (primary text down to faint tracks); the system colours are the status colours.
enum class Role {
  windowBackground,
  controlBackground,
  label,
  secondaryLabel,
  tertiaryLabel,
  quaternaryLabel,
  separator,
  green,
  orange,
  red,
  yellow,
  gray,
};

QColor color(Role role, Scheme scheme);
// The colour for `role` in the appearance `widget` is currently drawn in.
QColor color(Role role, const QWidget* widget);

// A colour given outright or as a role, so a tint like "the secondary colour" follows the
// appearance of the widget that draws it.
class Tint {
public:
  Tint(const QColor& color) : fixed(color) {}
  Tint(Qt::GlobalColor color) : fixed(color) {}
  Tint(Role role) : role(role) {}

  QColor resolve(const QWidget* widget) const;
  bool operator==(const Tint&) const = default;

private:
  QColor fixed;
  Role role = Role::label;
};

// Dark when the palette's window colour is dark, so a widget follows whatever palette it got.
Scheme schemeOf(const QPalette& palette);
Scheme schemeOf(const QWidget* widget);

// Weight: QFont::Normal unless given; "headline" is semibold by nature.
QFont font(TextStyle style, int weight = -1);
int pixelSize(TextStyle style);

QPalette palette(Scheme scheme);

// Registers the Inter faces from the system font files; true when the family is available.
// Safe to call again.
bool loadFonts();

// Sets the application's style (`Style`), palette and default font for `scheme`. Needs a
// QApplication; safe to call again to switch the appearance.
void apply(Scheme scheme);

}  // namespace tidra::Theme
