#include "support/ScreenRender.h"

#include "support/ImageFigures.h"
#include "views/design/Theme.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QWidget>

namespace tidra::test {

void renderIfAsked(QWidget& widget, const QString& name) {
  const auto folder = qEnvironmentVariable("TIDRA_RENDER_DIR");
  if (folder.isEmpty()) return;
  for (const auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
    Theme::apply(scheme);
    QCoreApplication::processEvents();
    const auto suffix = scheme == Theme::Scheme::dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png");
    widget.grab().save(QDir(folder).filePath(name + suffix));
  }
  Theme::apply(Theme::Scheme::light);
}

bool drewSomething(QWidget& widget, const QString& name) {
  const QImage picture = widget.grab().toImage();
  const auto folder = qEnvironmentVariable("TIDRA_RENDER_DIR");
  if (!folder.isEmpty()) picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
  // A bare background or frame has a handful of colours; anti-aliased text alone brings dozens.
  return ImageFigures::of(picture).colours > 16;
}

}  // namespace tidra::test
