#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

namespace tidra::test {

// The program run in screenshot mode the way CI runs it: offscreen on the 2× screen of
// tests/app/snapshot/offscreen-2x.json, motion off, and a sandbox of its own that goes with the
// value. The sandbox holds the user's folders as the program sees them (home, settings, data,
// caches, runtime), so a run never touches the real ones and starts with fresh settings.
class ScreenshotRun {
public:
  struct Outcome {
    // Ended by itself within the guard.
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    // Standard output, line by line.
    QStringList lines;
    QByteArray errors;
    std::chrono::milliseconds took{0};
  };

  // How long a run may take before it is stopped and counted as hung.
  static constexpr std::chrono::seconds guard{180};

  ScreenshotRun();

  // A path inside the sandbox.
  QString path(const QString& relative) const;
  // The user's home folder of the run (HOME); the settings, data and caches lie under it.
  QString userHome() const { return path(QStringLiteral("user")); }

  // Runs the program with `arguments`, `extra` added to its environment.
  Outcome run(const QStringList& arguments, const QProcessEnvironment& extra = {}) const;

private:
  QTemporaryDir sandbox;
};

}  // namespace tidra::test
