#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <QStringView>

#include <vector>

class QPainter;

namespace tidra::Symbols {

// One symbol name of the interface and the Material Icons glyph that stands for it.
struct Entry {
  const char* name;      // the name screens and the engine use ("memorychip")
  const char* material;  // the Material Icons name of the glyph ("memory")
  char32_t codepoint;
};

// Every mapped name, in table order.
const std::vector<Entry>& table();

// The glyph drawn for a name nobody mapped, so a missing entry shows as a question mark, not
// as nothing.
char32_t fallbackCodepoint();

bool isKnown(QStringView name);
// The glyph for `name`, or the fallback glyph.
char32_t codepoint(QStringView name);
QString glyph(QStringView name);

// Registers the Material Icons font from its system file; true when it is available.
bool loadFont();
QFont font(qreal pixelSize);

// Draws the glyph of `name` centred in `rect` at `pixelSize`.
void draw(QPainter& painter, const QRectF& rect, QStringView name, const QColor& color, qreal pixelSize);

// The glyph as an icon for buttons and list rows, drawn at `pixelSize` in `color`.
QIcon icon(QStringView name, const QColor& color, int pixelSize);

}  // namespace tidra::Symbols
