#include "models/NotificationResponder.h"

#include "models/AppModel.h"
#include "models/BackgroundMonitor.h"
#include "models/Notifier.h"
#include "models/WindowOpener.h"

namespace tidra {

namespace {

std::optional<QString> textOf(const QVariantMap& info, const QString& key) {
  const auto value = info.value(key);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

std::optional<double> numberOf(const QVariantMap& info, const QString& key) {
  const auto value = info.value(key);
  if (value.typeId() != QMetaType::Double) return std::nullopt;
  return value.toDouble();
}

}  // namespace

void respondToNotification(const NotificationResponse& response, BackgroundMonitor& monitor, AppModel& model,
                           WindowOpener& opener) {
  const auto sectionText = textOf(response.userInfo, Notifier::sectionKey);
  const auto section = sectionText ? sectionFromRawValue(*sectionText) : std::nullopt;
  const auto server = textOf(response.userInfo, Notifier::serverKey);
  if (server && response.action == Notifier::stopAction)
    return monitor.stopIdleServer(server->toStdString(), numberOf(response.userInfo, Notifier::startedKey));
  if (server && response.action == Notifier::keepAction) return monitor.keepRunning(server->toStdString());
  if (server) model.setPerformanceTab(AppModel::PerformanceTab::developerTools);
  opener.show(section, model);
}

}  // namespace tidra
