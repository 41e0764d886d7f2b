#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

namespace tidra {

// Opens web addresses and files with the desktop's handler for them.
class UrlOpener {
public:
  virtual ~UrlOpener() = default;
  // False when the desktop has no handler or refused.
  virtual bool open(const QUrl& url) = 0;
};

// Through xdg-open, watched to its end, so that the person hears when nothing could open the
// address (xdg-open only says so on stderr); through QDesktopServices where there is no xdg-open.
class LiveUrlOpener final : public UrlOpener {
public:
  // `launcher` opens the address given as its one argument and ends in failure when nothing
  // could; empty means QDesktopServices.
  explicit LiveUrlOpener(QString launcher = defaultLauncher());

  // True when the launcher started; its failure is told to `onFailure` later.
  bool open(const QUrl& url) override;

  // xdg-open from PATH, or empty.
  static QString defaultLauncher();

  // Called on the GUI thread with the address nothing opened.
  std::function<void(const QUrl&)> onFailure;

private:
  QString launcher;
};

// Records what was opened and answers as told.
class FakeUrlOpener final : public UrlOpener {
public:
  bool open(const QUrl& url) override;

  QList<QUrl> opened;
  bool succeeds = true;
};

}  // namespace tidra
