#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

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
  // Starts the bus, the window manager and the program with `arguments`, and waits for its
  // main window.
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
  // Polls until `condition` holds, for a few seconds at most.
  bool until(const std::function<bool()>& condition) const;
  // Polls until `area` looks the same twice in a row.
  bool settled(const QRect& area) const;

private:
  QString run(const QString& tool, const QStringList& arguments) const;
  std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments);
  QString findMainWindow() const;
  // xdotool's words for moving the pointer to `place` in the main window.
  QStringList moveTo(QPoint place) const;

  QTemporaryDir sandbox;
  QProcessEnvironment environment;
  std::vector<std::unique_ptr<QProcess>> started;  // the server first, the program last
  QString window;                                  // the main window's id
  QString why;
};

}  // namespace tidra::test
