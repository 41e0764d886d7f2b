#include "platform/UrlOpener.h"

#include <QDesktopServices>

namespace tidra {

bool LiveUrlOpener::open(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool FakeUrlOpener::open(const QUrl& url) {
  opened.push_back(url);
  return succeeds;
}

}  // namespace tidra
