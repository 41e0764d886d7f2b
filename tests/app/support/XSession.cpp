#include "support/XSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

namespace tidra::test {

namespace {

// The first line a process prints, within the start patience.
QString firstLine(QProcess& process) {
  QElapsedTimer clock;
  clock.start();
  while (!process.canReadLine() && clock.elapsed() < XSession::startPatience.count())
    if (!process.waitForReadyRead(1000) && process.state() == QProcess::NotRunning) break;
  return QString::fromUtf8(process.readLine()).trimmed();
}

}  // namespace

XSession::XSession() : environment(QProcessEnvironment::systemEnvironment()) {
  const QString home = sandbox.filePath(QStringLiteral("user"));
  QDir().mkpath(home);
  QDir().mkpath(sandbox.filePath(QStringLiteral("runtime")));
  QFile::setPermissions(sandbox.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  environment.insert(QStringLiteral("HOME"), home);
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
  environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
  environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), sandbox.filePath(QStringLiteral("runtime")));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("TIDRA_REDUCE_MOTION"), QStringLiteral("1"));
  environment.insert(QStringLiteral("TIDRA_FIXED_NOW"), QStringLiteral("2025-03-14T09:30:00Z"));
  for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_QPA_PLATFORMTHEME", "SESSION_MANAGER"})
    environment.remove(QLatin1String(name));
}

XSession::~XSession() {
  // The program first, the server last.
  for (auto it = started.rbegin(); it != started.rend(); ++it) {
    (*it)->terminate();
    if (!(*it)->waitForFinished(5000)) {
      (*it)->kill();
      (*it)->waitForFinished(5000);
    }
  }
}

std::unique_ptr<QProcess> XSession::start(const QString& program, const QStringList& arguments) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(environment);
  process->setProcessChannelMode(QProcess::SeparateChannels);
  process->start(program, arguments);
  if (!process->waitForStarted(int(startPatience.count()))) why = program + QStringLiteral(" did not start");
  return process;
}

bool XSession::startServer() {
  // -displayfd picks a free display and prints its number.
  auto server = start(QStringLiteral("/usr/bin/Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                         QStringLiteral("-screen"), QStringLiteral("0"),
                                                         QStringLiteral("1600x1000x24"), QStringLiteral("-nolisten"),
                                                         QStringLiteral("tcp")});
  const QString display = firstLine(*server);
  started.push_back(std::move(server));
  if (display.isEmpty()) {
    why = QStringLiteral("Xvfb printed no display: ") + QString::fromUtf8(started.back()->readAllStandardError());
    return false;
  }
  environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + display);
  qputenv("DISPLAY", (QLatin1Char(':') + display).toUtf8());
  qputenv("QT_QPA_PLATFORM", "xcb");
  return true;
}

bool XSession::startProgram(const QStringList& arguments) {
  auto bus = start(QStringLiteral("/usr/bin/dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
  const QString address = firstLine(*bus);
  started.push_back(std::move(bus));
  if (address.isEmpty()) return why = QStringLiteral("the session bus printed no address"), false;
  environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
  started.push_back(start(QStringLiteral("/usr/bin/openbox"), {QStringLiteral("--sm-disable")}));
  // A window mapped before the manager runs is never framed, so never listed as a client.
  if (!until([this] { return hasWindowManager(); }, startPatience))
    return why = QStringLiteral("the window manager did not start"), false;
  started.push_back(start(QStringLiteral(TIDRA_PROGRAM), arguments));
  until([this] { return !(window = findMainWindow()).isEmpty(); }, startPatience);
  if (window.isEmpty()) {
    why = QStringLiteral("no main window; the program said: ") + QString::fromUtf8(started.back()->readAllStandardError());
    return false;
  }
  return true;
}

QString XSession::run(const QString& tool, const QStringList& arguments) const {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(tool, arguments);
  process.waitForFinished(int(effectPatience.count()));
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString XSession::findMainWindow() const {
  const QString pid = QString::number(started.back()->processId());
  return run(QStringLiteral("/usr/bin/xdotool"),
             {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
              pid, QStringLiteral("--name"), QStringLiteral("^Tidra$")})
      .section(QLatin1Char('\n'), 0, 0);
}

bool XSession::hasWindowManager() const {
  const QString check = run(QStringLiteral("/usr/bin/xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
  return check.contains(QStringLiteral("window id"));
}

QStringList XSession::moveTo(QPoint place) const {
  // No --sync: it waits forever when the pointer is already there.
  return {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
          QString::number(place.x()), QString::number(place.y())};
}

void XSession::click(QPoint place) {
  run(QStringLiteral("/usr/bin/xdotool"), moveTo(place) << QStringLiteral("click") << QStringLiteral("1"));
}

void XSession::wheel(QPoint place, int button, int times) {
  run(QStringLiteral("/usr/bin/xdotool"), moveTo(place) << QStringLiteral("click") << QStringLiteral("--repeat")
                                                        << QString::number(times) << QStringLiteral("--delay")
                                                        << QStringLiteral("50") << QString::number(button));
}

void XSession::drag(QPoint from, QPoint to) {
  run(QStringLiteral("/usr/bin/xdotool"), moveTo(from) << QStringLiteral("mousedown") << QStringLiteral("1")
                                                       << moveTo((from + to) / 2) << moveTo(to) << QStringLiteral("mouseup")
                                                       << QStringLiteral("1"));
}

void XSession::key(const QString& name) {
  run(QStringLiteral("/usr/bin/xdotool"), {QStringLiteral("key"), name});
}

QImage XSession::shot(const QRect& area) const {
  return QGuiApplication::primaryScreen()
      ->grabWindow(window.toULongLong(), area.x(), area.y(), area.width(), area.height())
      .toImage();
}

QSize XSession::windowSize() const {
  return QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).size();
}

int XSession::visibleWindows() const {
  // The window manager's list holds the windows it frames, so no tooltip or menu; the program
  // is the only client on this server.
  const QString list = run(QStringLiteral("/usr/bin/xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")});
  return static_cast<int>(list.count(QStringLiteral("0x")));
}

bool XSession::until(const std::function<bool()>& condition, std::chrono::milliseconds patience) const {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > patience.count()) return false;
    QTest::qWait(100);
  }
  return true;
}

bool XSession::settled(const QRect& area, std::chrono::milliseconds patience) const {
  QImage last = shot(area);
  int same = 0;
  return until([&] {
    QTest::qWait(250);
    QImage now = shot(area);
    same = now == last ? same + 1 : 0;
    last = std::move(now);
    return same == 4;  // a second without a change
  }, patience);
}

}  // namespace tidra::test
