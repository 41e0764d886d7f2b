#include "AppInfo.h"
#include "Demo.h"
#include "TidraApplication.h"
#include "Updater.h"
#include "platform/DesktopNotifications.h"
#include "platform/SingleInstance.h"
#include "platform/TrayItem.h"
#include "platform/UrlOpener.h"
#include "runtime/LiveScheduler.h"
#include "settings/LivePreferences.h"
#include "snapshot/Snapshot.h"
#include "views/design/Theme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDateTime>

#include <cstdio>

using namespace tidra;

namespace {

// Demo dates stay put for screenshots when TIDRA_FIXED_NOW names an ISO-8601 moment.
std::optional<Scheduler::Clock::time_point> pinnedNow() {
  if (!Demo::isOn()) return std::nullopt;
  const QDateTime moment = QDateTime::fromString(qEnvironmentVariable("TIDRA_FIXED_NOW"), Qt::ISODate);
  if (!moment.isValid()) return std::nullopt;
  return Scheduler::Clock::time_point(std::chrono::milliseconds(moment.toMSecsSinceEpoch()));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tidra"));
  const QStringList arguments = QApplication::arguments();
  Demo::decide(Demo::requested(arguments));

  SingleInstance instance(QDBusConnection::sessionBus());
  if (SingleInstance::applies(arguments, Demo::isOn()) && instance.claim() == SingleInstance::Claim::second) {
    if (instance.handOver(Snapshot::value(arguments, QStringLiteral("--section")).value_or(QString()))) return 0;
    std::fputs("Tidra is already running but did not answer.\n", stderr);
    return 1;
  }

  const AppInfo info = AppInfo::bundled();
  QApplication::setApplicationVersion(info.version);
  // The desktop's own light or dark, until --appearance says otherwise.
  Theme::apply(Theme::schemeOf(QApplication::palette()));
  LivePreferences preferences;
  LiveScheduler scheduler(pinnedNow());
  LiveUrlOpener opener;
  DesktopNotifications notifications(QDBusConnection::sessionBus());
  const Updater updater(info, arguments);

  QApplication::setQuitOnLastWindowClosed(false);
  // Queued, so a quit asked for before the event loop runs (a screenshot run with nothing to
  // wait for) still ends it.
  const auto quit = [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); };
  TidraApplication app({arguments, TidraApplication::environment(arguments), AppServices::live(), preferences,
                        scheduler, opener, notifications, info, updater, TrayItem::isAvailable(), quit});
  QObject::connect(&application, &QGuiApplication::lastWindowClosed, &app, &TidraApplication::lastWindowClosed);
  QObject::connect(&instance, &SingleInstance::showRequested, &app, &TidraApplication::showMain);
  app.showMainWindow();
  return application.exec();
}
