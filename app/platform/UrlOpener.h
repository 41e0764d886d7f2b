#pragma once

#include <QList>
#include <QUrl>

namespace tidra {

// Opens web addresses and files with the desktop's handler for them.
class UrlOpener {
public:
  virtual ~UrlOpener() = default;
  // False when the desktop has no handler or refused.
  virtual bool open(const QUrl& url) = 0;
};

// Through QDesktopServices (xdg-open on this desktop).
class LiveUrlOpener final : public UrlOpener {
public:
  bool open(const QUrl& url) override;
};

// Records what was opened and answers as told.
class FakeUrlOpener final : public UrlOpener {
public:
  bool open(const QUrl& url) override;

  QList<QUrl> opened;
  bool succeeds = true;
};

}  // namespace tidra
