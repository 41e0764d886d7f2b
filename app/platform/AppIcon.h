#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

class QPainter;
class QRectF;

namespace tidra::AppIcon {

// The application's icon, drawn from the brand: a rounded square in the brand gradient with the
// tray item's "sparkles" symbol in white. Needs a QGuiApplication for the symbol font.
void paint(QPainter& painter, const QRectF& rect);
QImage image(int pixels);
// Every size below, for window frames and task bars.
QIcon icon();

// The square sizes the hicolor theme gets as PNG files, beside the scalable SVG.
const std::vector<int>& pixelSizes();
// The same drawing as SVG, the symbol as an outline so no font is needed to show it.
QString svg();

// Writes "hicolor/scalable/apps/<id>.svg" and "hicolor/<n>x<n>/apps/<id>.png" under `folder`.
// Nothing when done, else what could not be written.
std::optional<QString> writeTheme(const QString& folder);

}  // namespace tidra::AppIcon
