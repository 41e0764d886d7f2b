#include "platform/UrlOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace tidra {

LiveUrlOpener::LiveUrlOpener(QString launcher) : launcher(std::move(launcher)) {}

QString LiveUrlOpener::defaultLauncher() { return QStandardPaths::findExecutable(QStringLiteral("xdg-open")); }

bool LiveUrlOpener::open(const QUrl& url) {
  const auto failed = [report = onFailure, url] {
    if (report) report(url);
  };
  if (launcher.isEmpty()) {
    if (QDesktopServices::openUrl(url)) return true;
    failed();
    return false;
  }
  // No parent: a launcher still waiting on the program it started (a browser in the
  // foreground) is left to run when Tidra quits.
  auto* process = new QProcess;
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->setStandardOutputFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit || code != 0) failed();
    process->deleteLater();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    failed();
    process->deleteLater();
  });
  process->start(launcher, {QString::fromLatin1(url.toEncoded())});
  return true;
}

bool FakeUrlOpener::open(const QUrl& url) {
  opened.push_back(url);
  return succeeds;
}

}  // namespace tidra
