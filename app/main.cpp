#include "AppInfo.h"
#include "CommandLine.h"
#include "Demo.h"
#include "TidraApplication.h"
#include "Updater.h"
#include "platform/AppIcon.h"
#include "platform/DesktopEntry.h"
#include "platform/DesktopNotifications.h"
#include "platform/IconThemeFallback.h"
#include "platform/PortalAppearance.h"
#include "platform/QuitSignals.h"
#include "platform/SingleInstance.h"
#include "platform/TrayItem.h"
#include "platform/UrlOpener.h"
#include "platform/Thumbnailer.h"
#include "platform/RunningApps.h"
#include "platform/FileRevealer.h"
#include "platform/FolderChooser.h"
#include "files/SearchMemory.h"
#include "runtime/LiveScheduler.h"
#include "settings/LivePreferences.h"
#include "snapshot/Snapshot.h"
#include "views/OpenFailureAlert.h"
#include "views/design/Theme.h"

#include <QApplication>
#include <QMainWindow>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace tidra;

namespace {

// Demo dates stay put for screenshots when TIDRA_FIXED_NOW names an ISO-8601 moment; the clock
// starts there and runs on. Outside demo mode the variable is not read.
std::optional<Scheduler::Clock::time_point> pinnedStart() {
  if (!Demo::isOn()) return std::nullopt;
  const QString text = qEnvironmentVariable("TIDRA_FIXED_NOW");
  if (text.isEmpty()) return std::nullopt;
  const auto moment = LiveScheduler::moment(text);
  if (!moment)
    std::fprintf(stderr, "TIDRA_FIXED_NOW=%s is not an ISO-8601 date and time; the real clock is used.\n",
                 qPrintable(text));
  return moment;
}

// Judged before Qt starts, so help, version and a refusal need no display and open no window.
CommandLine::Verdict judge(int argc, char* argv[]) {
  QStringList raw;
  for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
  return CommandLine::read(raw, {QDir::currentPath(), [](const QString& path) { return QFileInfo(path).isDir(); }});
}

int answerWithoutRunning(const CommandLine::Verdict& verdict) {
  switch (verdict.action) {
    case CommandLine::Verdict::Action::help: std::fputs(qPrintable(CommandLine::usage()), stdout); break;
    case CommandLine::Verdict::Action::version:
      std::printf("Tidra %s\n", qPrintable(AppInfo::bundled().version));
      break;
    case CommandLine::Verdict::Action::refuse:
      std::fprintf(stderr, "tidra: %s\n\n%s", qPrintable(verdict.error), qPrintable(CommandLine::usage()));
      break;
    case CommandLine::Verdict::Action::run: break;
  }
  return CommandLine::exitCode(verdict.action);
}

}  // namespace

int main(int argc, char* argv[]) {
  SearchMemory::settle();
  const CommandLine::Verdict verdict = judge(argc, argv);
  if (verdict.action != CommandLine::Verdict::Action::run) return answerWithoutRunning(verdict);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tidra"));
  // The launcher entry's id ties the windows to it; the icon is the same drawing as the installed one.
  QGuiApplication::setDesktopFileName(DesktopEntry::id());
  QApplication::setWindowIcon(AppIcon::icon());
  IconThemeFallback::apply();
  const QStringList& arguments = verdict.arguments;
  Demo::decide(Demo::requested(arguments));

  SingleInstance instance(QDBusConnection::sessionBus());
  if (SingleInstance::applies(arguments, Demo::isOn()) && instance.claim() == SingleInstance::Claim::second) {
    if (instance.handOver(Snapshot::value(arguments, QStringLiteral("--section")).value_or(QString()))) return 0;
    std::fputs("Tidra is already running but did not answer.\n", stderr);
    return 1;
  }

  const AppInfo info = AppInfo::bundled();
  QApplication::setApplicationVersion(info.version);
  // The desktop's light or dark, followed while running, unless --appearance says otherwise.
  PortalAppearance appearance(QDBusConnection::sessionBus());
  appearance.follow(TidraApplication::launchAppearance(arguments), [](Theme::Scheme scheme) { Theme::apply(scheme); });
  LivePreferences preferences;
  LiveScheduler scheduler(pinnedStart());
  LiveUrlOpener opener;
  DesktopNotifications notifications(QDBusConnection::sessionBus());
  const Updater updater(info, arguments);

  QApplication::setQuitOnLastWindowClosed(false);
  // Queued, so a quit asked for before the event loop runs (a screenshot run with nothing to
  // wait for) still ends it.
  const auto quit = [](int code) {
    QMetaObject::invokeMethod(qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
  };
  // The window's opener and preferences live as long as main, so the model only borrows them.
  const DesktopServices desktop{Thumbnailer::live(), RunningApps::live(),
                                std::shared_ptr<UrlOpener>(&opener, [](UrlOpener*) {}),
                                std::shared_ptr<Preferences>(&preferences, [](Preferences*) {}),
                                std::make_shared<LiveFolderChooser>(), std::make_shared<LiveFileRevealer>(opener)};
  TidraApplication app({arguments, TidraApplication::environment(arguments), AppServices::live(), desktop, preferences,
                        scheduler, opener, notifications, info, updater, TrayItem::isAvailable(), quit});
  // Nothing opened an address: said over the window the person is looking at (not over the tray's
  // panel, which closes).
  opener.onFailure = [&app](const QUrl& url) {
    QWidget* over = QApplication::activeWindow();
    OpenFailureAlert::show(url, over != nullptr && over->windowType() != Qt::Popup ? over : static_cast<QWidget*>(&app.mainWindow()));
  };
  QObject::connect(&application, &QGuiApplication::lastWindowClosed, &app, &TidraApplication::lastWindowClosed);
  QuitSignals quitSignals;
  QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, &TidraApplication::quitInOrder);
  QObject::connect(&instance, &SingleInstance::showRequested, &app, &TidraApplication::showMain);
  app.showMainWindow();
  return application.exec();
}
