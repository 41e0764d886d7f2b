#pragma once

// The program's options, judged before any window exists: what the run should do, the
// arguments the rest of the program reads (with `--home` made absolute), or the one line that
// says why the command line cannot run.

#include <QString>
#include <QStringList>

#include <functional>

namespace tidra::CommandLine {

struct Verdict {
  enum class Action { run, help, version, refuse };
  Action action = Action::run;
  // For `run`: the arguments to start with, program first.
  QStringList arguments;
  // For `refuse`: what is wrong, in one line.
  QString error;
};

// Where relative paths are read from and how a folder is recognised; tests give their own.
struct Surroundings {
  QString workingFolder;
  std::function<bool(const QString& path)> isFolder;
};

// `arguments` as the process got them, program first. Qt's own single-dash options pass
// through untouched.
Verdict read(const QStringList& arguments, const Surroundings& surroundings);

// The options with a line each, for `--help` and after a refusal.
QString usage();

// 0 for help and version, 2 for a refusal; running has no exit code here.
int exitCode(Verdict::Action action);

}  // namespace tidra::CommandLine
