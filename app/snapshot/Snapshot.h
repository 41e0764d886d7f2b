#pragma once

// The screenshot mode's options and helpers. Every option is read from the argument vector the
// caller hands in, so tests pass their own and nothing here reads the process globally.

#include "models/Section.h"
#include "runtime/Flow.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class QLocale;
class QTime;
class QWidget;

namespace tidra {
class AppModel;
class BackgroundMonitor;
class Scheduler;
}

namespace tidra::Snapshot {

// The argument after the first occurrence of `option`, unchanged (it may be empty or start with
// "--"); nothing when the option is missing or last.
std::optional<QString> value(const QStringList& arguments, const QString& option);

// Whether the run also cleans: `--snapshot-clean` with a `--home` folder or the demo data. Cleaning
// removes real files, so only from a substitute home, or the demo's simulated ones; the command
// line refuses the flag without either.
bool cleans(const QStringList& arguments);

// The sections named by `--snapshot-sections`, in the order given, repeats kept; pieces that name
// no section (exact raw values only) are skipped. All seven when the option has no value.
std::vector<Section> requestedSections(const QStringList& arguments);

// "snapshot <local time>: <message>", the time in the locale's time style without a zone.
QString logLine(const QString& message, const QTime& time, const QLocale& locale);
// Prints logLine for the current time to standard output and flushes, so a pipe sees each line
// as it happens.
void log(const QString& message);

// The application's windows (popups and tooltips are not windows here), in the order they were
// first shown, then those never shown.
QList<QWidget*> windows();

// The window to photograph: the first visible titled window that is not a sheet, has content
// and whose object name contains "main"; else the first visible titled window that is not a
// sheet; else none. A sheet is a window-modal dialog on a parent window; a QMainWindow has
// content once it has its central widget.
QWidget* mainWindow();
// The first window, shown or not, with a title bar and content: what the run brings forward
// when no main window turns up.
QWidget* firstTitledWindow();

// A pause that lets the interface settle before a shot; the flow resumes through the scheduler.
SleepFor settle(Scheduler& scheduler, std::chrono::milliseconds pause);

// Writes `window` (a main window or a sheet) to `path` as PNG at the screen's pixel density.
// Nothing is written for no window; a file that cannot be written gives the reason.
std::optional<QString> save(QWidget* window, const QString& path);
// The window-modal dialog shown over `window`, if any.
QWidget* attachedSheet(QWidget* window);

// What the screenshot run drives and where it writes.
struct CaptureParts {
  AppModel& model;
  BackgroundMonitor& monitor;
  QString folder;
  QStringList arguments;
  Scheduler& scheduler;
  // Ends the application: 0 when every image was written, 1 when one could not be.
  std::function<void(int exitCode)> quit;
  // The menu-bar panel (with the diagnosis open or not) and the settings, each as a new
  // window for the extras.
  std::function<QWidget*(bool diagnosing)> makePanel;
  std::function<QWidget*()> makeSettings;
};

// The screenshot run over the folder given to `--snapshot`: every requested section in its
// states, one PNG per shot and a progress line per step, the extras when asked, then `quit`.
// A folder that cannot be made or an image that cannot be written is reported on standard
// error, with why; the run goes on with the other shots and quits with a failure.
Flow capture(CaptureParts parts);

}  // namespace tidra::Snapshot
