#include "platform/SingleInstance.h"

#include "snapshot/Snapshot.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace tidra {

const QString SingleInstance::serviceName = QStringLiteral("app.tidra.Tidra");
const QString SingleInstance::objectPath = QStringLiteral("/app/tidra/Tidra");

bool SingleInstance::applies(const QStringList& arguments, bool demo) {
  const bool screenshot = Snapshot::value(arguments, QStringLiteral("--snapshot")).has_value();
  return !demo && !screenshot && !arguments.contains(QStringLiteral("--home"));
}

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent) : QObject(parent), bus(std::move(bus)) {}

SingleInstance::Claim SingleInstance::claim() {
  QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
  if (names == nullptr) return Claim::alone;
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = names->registerService(
      serviceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid()) return Claim::alone;
  if (reply.value() != QDBusConnectionInterface::ServiceRegistered) return Claim::second;
  // The object goes up only once the name is ours, so a hand-over never reaches a loser.
  if (!bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots)) return Claim::alone;
  return Claim::first;
}

bool SingleInstance::handOver(const QString& section, int timeoutMs) {
  QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, QStringLiteral("Show"));
  call << section;
  const QDBusMessage reply = bus.call(call, QDBus::BlockWithGui, timeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Show(const QString& section) { emit showRequested(sectionFromRawValue(section)); }

}  // namespace tidra
