#include "support/ScreenRender.h"

#include "views/design/Theme.h"

#include <QCoreApplication>
#include <QDir>
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

}  // namespace tidra::test
