#include "Updater.h"

#include "AppInfo.h"
#include "Demo.h"
#include "snapshot/Snapshot.h"

namespace tidra {

namespace {

bool updatesOff(const AppInfo& info, const QStringList& arguments) {
  return info.updatePublicKey.isEmpty() || Demo::isOn() || Snapshot::value(arguments, QStringLiteral("--snapshot")) ||
         arguments.contains(QStringLiteral("--home"));
}

}  // namespace

Updater::Updater(const AppInfo& info, const QStringList& arguments, const Factory& makeController) {
  if (!updatesOff(info, arguments)) updateController = makeController(info.updatePublicKey);
}

std::unique_ptr<UpdateController> Updater::noFramework(const QString&) { return nullptr; }

}  // namespace tidra
