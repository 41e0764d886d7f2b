// Writes the application's icon into a hicolor theme folder at build time, so the installed
// icons are drawn by the same code as the window's icon.

#include "platform/AppIcon.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: tidra-icon-writer <folder>\n", stderr);
    return 2;
  }
  QGuiApplication application(argc, argv);
  if (const auto failed = tidra::AppIcon::writeTheme(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(*failed));
    return 1;
  }
  return 0;
}
