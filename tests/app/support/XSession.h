#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>

namespace tidra::test {

// An X server of its own (Xvfb on a free display), a window manager, a private session bus and
// the real program in a sandbox home, driven only through synthetic X input (xdotool). Pixels
// are read back from the server, never from the program. Everything started ends with it.
class XSession {
public:
  XSession();
  ~XSession();

  // Starts the server and points this process at it; call before the QApplication exists.
  bool startServer();
  // Starts the bus, the window manager and the program with `arguments`, waiting for each to be
  // ready (the bus's address, the manager's announcement, the main window on screen).
  bool startProgram(const QStringList& arguments);
  // What went wrong in the last start.
  QString problem() const { return why; }

  // Input, in points from the main window's top-left corner.
  void click(QPoint place);
  // `button` 4 scrolls up, 5 down.
  void wheel(QPoint place, int button, int times);
  void drag(QPoint from, QPoint to);
  void key(const QString& name);

  // What `area` of the main window shows now.
  QImage shot(const QRect& area) const;
  QSize windowSize() const;
  // The program's framed windows on screen now: the main window and its sheets.
  int visibleWindows() const;
  // How long one effect of input may take to show, and how long a process or window may take
  // to start on a loaded machine.
  static constexpr std::chrono::milliseconds effectPatience{15'000}, startPatience{60'000};

  // Polls until `condition` holds, for `patience` at most.
  bool until(const std::function<bool()>& condition, std::chrono::milliseconds patience = effectPatience) const;
  // Polls until `area` has looked the same for a second.
  bool settled(const QRect& area, std::chrono::milliseconds patience = effectPatience) const;

private:
  QString run(const QString& tool, const QStringList& arguments) const;
  std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments);
  QString findMainWindow() const;
  // Whether a window manager has announced itself on the server.
  bool hasWindowManager() const;
  // xdotool's words for moving the pointer to `place` in the main window.
  QStringList moveTo(QPoint place) const;

  QTemporaryDir sandbox;
  QProcessEnvironment environment;
  std::vector<std::unique_ptr<QProcess>> started;  // the server first, the program last
  QString window;                                  // the main window's id
  QString why;
};

}  // namespace tidra::test
