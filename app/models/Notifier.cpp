#include "models/Notifier.h"

#include "models/Section.h"

#include "fs/ByteFormat.h"

#include <string>

namespace tidra::Notifier {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }
QString memoryText(std::int64_t bytes) { return text(ByteFormat::memory(bytes)); }
QString fileText(std::int64_t bytes) { return text(ByteFormat::string(bytes)); }

QVariantMap showing(Section section) { return {{sectionKey, rawValue(section)}}; }

// The last component of a folder path, trailing slashes ignored.
QString lastComponent(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.rfind('/');
  if (slash == std::string::npos || path.size() == 1) return text(path);
  return text(path.substr(slash + 1));
}

QString idleRequestId(const DeveloperTool& tool) { return QStringLiteral("idle-") + text(tool.id); }

}  // namespace

const std::vector<NotificationAction>& idleServerActions() {
  static const std::vector<NotificationAction> actions = {
      {stopAction, QStringLiteral("Stop"), true},
      {keepAction, QStringLiteral("Keep Running"), false},
  };
  return actions;
}

double secondsSince1970(std::chrono::system_clock::time_point time) {
  return std::chrono::duration<double>(time.time_since_epoch()).count();
}

NotificationRequest memoryAlert(MemorySnapshot::Pressure pressure, const std::vector<ProcessGroup>& topApps) {
  const QString advice = QStringLiteral("Quitting an app you are not using will help.");
  NotificationRequest request;
  request.identifier = QStringLiteral("memory");
  request.title = pressure == MemorySnapshot::Pressure::critical ? QStringLiteral("Memory is critically low")
                                                                 : QStringLiteral("Memory is under pressure");
  request.body = topApps.empty() ? advice
                                 : QStringLiteral("%1 is using %2. %3")
                                       .arg(text(topApps.front().name), memoryText(topApps.front().memoryBytes), advice);
  request.userInfo = showing(Section::performance);
  return request;
}

NotificationRequest diskAlert(std::int64_t available) {
  NotificationRequest request;
  request.identifier = QStringLiteral("disk");
  request.title = QStringLiteral("Your disk is nearly full");
  request.body = fileText(available) + QStringLiteral(" left. Tidra can show you what is safe to clean.");
  request.userInfo = showing(Section::cleanup);
  return request;
}

NotificationRequest idleServer(const DeveloperTool& tool, const QString& duration) {
  QString body = QStringLiteral("Nothing has connected to it and nothing");
  if (tool.folder) body += QStringLiteral(" in ") + lastComponent(*tool.folder);
  body += QStringLiteral(" has changed. It's holding ") + memoryText(tool.memoryBytes) + QStringLiteral(".");

  NotificationRequest request;
  request.identifier = idleRequestId(tool);
  request.title = text(tool.title) + QStringLiteral(" has been idle for ") + duration;
  request.body = body;
  request.userInfo = showing(Section::performance);
  request.userInfo.insert(serverKey, text(tool.id));
  if (tool.started) request.userInfo.insert(startedKey, secondsSince1970(*tool.started));
  request.category = idleServerCategory;
  request.actions = idleServerActions();
  return request;
}

NotificationRequest stoppedServer(const DeveloperTool& tool, const QString& duration) {
  NotificationRequest request;
  request.identifier = idleRequestId(tool);
  request.title = QStringLiteral("Stopped ") + text(tool.title);
  request.body = QStringLiteral("It sat idle for %1, holding %2. Start it again when you need it.")
                     .arg(duration, memoryText(tool.memoryBytes));
  request.userInfo = showing(Section::performance);
  return request;
}

NotificationRequest weeklyReport(std::int64_t total) {
  NotificationRequest request;
  request.identifier = QStringLiteral("weekly");
  request.title = fileText(total) + QStringLiteral(" can be cleaned");
  request.body = QStringLiteral("Caches and build data that are rebuilt when needed.");
  request.userInfo = showing(Section::cleanup);
  return request;
}

NotificationRequest weeklyCleaned(std::int64_t freed, int refusedItems) {
  NotificationRequest request;
  request.identifier = QStringLiteral("weekly");
  request.title = QStringLiteral("Tidra cleaned ") + fileText(freed);
  request.body =
      QStringLiteral("Caches and build data that are rebuilt when needed. You can turn this off in Settings.");
  if (refusedItems > 0)
    request.body += refusedItems == 1 ? QStringLiteral(" 1 item could not be removed.")
                                      : QStringLiteral(" %1 items could not be removed.").arg(refusedItems);
  request.userInfo = showing(Section::overview);
  return request;
}

}  // namespace tidra::Notifier
