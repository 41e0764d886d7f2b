#pragma once

#include <QStringList>

#include <functional>
#include <memory>

namespace tidra {

struct AppInfo;

// What the application asks of a self-update framework: it is started when created and then
// checks on its own schedule.
class UpdateController {
public:
  virtual ~UpdateController() = default;
  // A check the user asked for, with the framework's own interface.
  virtual void checkForUpdates() = 0;
  virtual bool automaticallyChecksForUpdates() const = 0;
  virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
};

// Owns the update controller of this run, decided once at launch. There is none unless the
// app's information names an update key, and none in demo mode, in screenshot mode (a
// `--snapshot` with a value) or when `--home` is anywhere in the arguments. Without a
// controller no update command is offered.
class Updater {
public:
  using Factory = std::function<std::unique_ptr<UpdateController>(const QString& publicKey)>;

  Updater(const AppInfo& info, const QStringList& arguments, const Factory& makeController = noFramework);

  UpdateController* controller() const { return updateController.get(); }

  // This desktop has no update framework to start: the packages update the app.
  static std::unique_ptr<UpdateController> noFramework(const QString& publicKey);

private:
  std::unique_ptr<UpdateController> updateController;
};

}  // namespace tidra
