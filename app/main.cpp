#include "AppInfo.h"
#include "Demo.h"
#include "Updater.h"
#include "Website.h"
#include "platform/UrlOpener.h"
#include "settings/LivePreferences.h"
#include "settings/Preference.h"
#include "snapshot/Snapshot.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

using namespace tidra;

namespace {

// Stands in for the main window until the screens exist; it already carries the window's
// identity ("main", "Tidra") and the commands that reach beyond it.
void addCommands(QMainWindow& window, const AppInfo& info, const Updater& updater, UrlOpener& opener) {
  QMenu* help = window.menuBar()->addMenu(QStringLiteral("Help"));
  if (UpdateController* controller = updater.controller())
    help->addAction(QStringLiteral("Check for Updates…"), &window, [controller] { controller->checkForUpdates(); });
  help->addAction(QStringLiteral("Send Feedback…"), &window, [info, &opener] { opener.open(Website::feedback(info)); });
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  Demo::decide(Demo::requested(arguments));

  const AppInfo info = AppInfo::bundled();
  QApplication::setApplicationName(QStringLiteral("Tidra"));
  QApplication::setApplicationVersion(info.version);

  LivePreferences preferences;
  Preference::registerDefaults(preferences);
  const Updater updater(info, arguments);
  LiveUrlOpener opener;

  QMainWindow window;
  window.setObjectName(QStringLiteral("main"));
  window.setWindowTitle(QStringLiteral("Tidra"));
  window.setCentralWidget(new QWidget);
  window.resize(980, 660);
  addCommands(window, info, updater, opener);
  window.show();

  // The screenshot run starts once the event loop runs, as the window's launch step.
  if (const auto folder = Snapshot::value(arguments, QStringLiteral("--snapshot")))
    QTimer::singleShot(0, &window, [&window, folder = *folder] {
      Snapshot::capture(folder, [] { QCoreApplication::quit(); }).start(&window);
    });
  return application.exec();
}
