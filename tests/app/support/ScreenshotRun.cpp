#include "ScreenshotRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace tidra::test {

ScreenshotRun::ScreenshotRun() {
  QDir(sandbox.path()).mkpath(QStringLiteral("runtime"));
  // The runtime folder must be private to the user, or Qt warns and picks another.
  QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                              QFileDevice::ExeOwner);
  QDir(sandbox.path()).mkpath(QStringLiteral("user"));
}

QString ScreenshotRun::path(const QString& relative) const { return sandbox.filePath(relative); }

ScreenshotRun::Outcome ScreenshotRun::run(const QStringList& arguments, const QProcessEnvironment& extra) const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const QString home = userHome();
  environment.insert(QStringLiteral("HOME"), home);
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
  environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
  environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                     QStringLiteral("offscreen:configfile=") + QStringLiteral(TIDRA_SCREEN_CONFIG));
  environment.insert(QStringLiteral("TIDRA_REDUCE_MOTION"), QStringLiteral("1"));
  environment.insert(extra);

  QProcess process;
  process.setProcessEnvironment(environment);
  QElapsedTimer clock;
  clock.start();
  process.start(QStringLiteral(TIDRA_PROGRAM), arguments);
  Outcome outcome;
  outcome.finished = process.waitForFinished(static_cast<int>(std::chrono::milliseconds(guard).count()));
  if (!outcome.finished) {
    process.kill();
    process.waitForFinished();
  }
  outcome.took = std::chrono::milliseconds(clock.elapsed());
  outcome.status = process.exitStatus();
  outcome.exitCode = process.exitCode();
  outcome.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  outcome.errors = process.readAllStandardError();
  return outcome;
}

}  // namespace tidra::test
