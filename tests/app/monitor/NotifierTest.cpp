#include "support/TestMain.h"
#include "models/Notifier.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

const auto serverStart = std::chrono::system_clock::time_point{1'799'990'000s + 250ms};

DeveloperTool server(std::optional<std::string> folder, bool knownStart) {
  DeveloperTool tool;
  tool.id = "tree-4021";
  tool.kind = DeveloperTool::Kind::devServer;
  tool.title = "Vite dev server";
  tool.memoryBytes = 512LL * 1024 * 1024;
  tool.folder = std::move(folder);
  if (knownStart) tool.started = serverStart;
  return tool;
}

ProcessGroup notifiedGroup(std::string name, std::int64_t bytes) {
  ProcessGroup g;
  g.id = name;
  g.name = std::move(name);
  g.memoryBytes = bytes;
  return g;
}

QVariantMap section(const char* raw) { return {{Notifier::sectionKey, QString::fromLatin1(raw)}}; }

NotificationRequest expected(const char* identifier, const char* title, const char* body, QVariantMap userInfo) {
  return {QString::fromUtf8(identifier), QString::fromUtf8(title), QString::fromUtf8(body), std::move(userInfo), {}, {}};
}

NotificationRequest withButtons(NotificationRequest request) {
  request.category = QStringLiteral("idle-server");
  request.actions = {{QStringLiteral("stop"), QStringLiteral("Stop"), true},
                     {QStringLiteral("keep"), QStringLiteral("Keep Running"), false}};
  return request;
}

QVariantMap serverInfo(bool withStart) {
  QVariantMap info = section("performance");
  info.insert(QStringLiteral("server"), QStringLiteral("tree-4021"));
  if (withStart) info.insert(QStringLiteral("started"), Notifier::secondsSince1970(serverStart));
  return info;
}

}  // namespace

class NotifierTest : public QObject {
  Q_OBJECT

private slots:
  void everyKindHasItsExactTexts() {
    const auto chrome = notifiedGroup("Google Chrome", 2LL * 1024 * 1024 * 1024);
    struct Case {
      const char* name;
      NotificationRequest actual;
      NotificationRequest expected;
    };
    const std::vector<Case> cases = {
        {"memory warning names the top app", Notifier::memoryAlert(MemorySnapshot::Pressure::warning, {chrome}),
         expected("memory", "Memory is under pressure",
                  "Google Chrome is using 2 GB. Quitting an app you are not using will help.", section("performance"))},
        {"memory critical without apps", Notifier::memoryAlert(MemorySnapshot::Pressure::critical, {}),
         expected("memory", "Memory is critically low", "Quitting an app you are not using will help.",
                  section("performance"))},
        {"disk in decimal units", Notifier::diskAlert(12'500'000'000),
         expected("disk", "Your disk is nearly full", "12.5 GB left. Tidra can show you what is safe to clean.",
                  section("cleanup"))},
        {"idle server in a folder", Notifier::idleServer(server("/home/ada/Projects/shop", true), "2 hours"),
         withButtons(expected("idle-tree-4021", "Vite dev server has been idle for 2 hours",
                              "Nothing has connected to it and nothing in shop has changed. It's holding 512 MB.",
                              serverInfo(true)))},
        {"idle server, folder with a trailing slash", Notifier::idleServer(server("/srv/shop/", true), "1 hour"),
         withButtons(expected("idle-tree-4021", "Vite dev server has been idle for 1 hour",
                              "Nothing has connected to it and nothing in shop has changed. It's holding 512 MB.",
                              serverInfo(true)))},
        {"idle server without folder or start", Notifier::idleServer(server(std::nullopt, false), "3 days"),
         withButtons(expected("idle-tree-4021", "Vite dev server has been idle for 3 days",
                              "Nothing has connected to it and nothing has changed. It's holding 512 MB.",
                              serverInfo(false)))},
        {"stopped server replaces the question", Notifier::stoppedServer(server("/srv/shop", true), "3 hours"),
         expected("idle-tree-4021", "Stopped Vite dev server",
                  "It sat idle for 3 hours, holding 512 MB. Start it again when you need it.", section("performance"))},
        {"weekly report", Notifier::weeklyReport(5'000'000'000),
         expected("weekly", "5 GB can be cleaned", "Caches and build data that are rebuilt when needed.",
                  section("cleanup"))},
        {"weekly clean of nothing", Notifier::weeklyCleaned(0),
         expected("weekly", "Tidra cleaned 0 bytes",
                  "Caches and build data that are rebuilt when needed. You can turn this off in Settings.",
                  section("overview"))},
        {"weekly clean with one refusal", Notifier::weeklyCleaned(2'000'000, 1),
         expected("weekly", "Tidra cleaned 2 MB",
                  "Caches and build data that are rebuilt when needed. You can turn this off in Settings. 1 item "
                  "could not be removed.",
                  section("overview"))},
        {"weekly clean with refusals", Notifier::weeklyCleaned(2'000'000, 2),
         expected("weekly", "Tidra cleaned 2 MB",
                  "Caches and build data that are rebuilt when needed. You can turn this off in Settings. 2 items "
                  "could not be removed.",
                  section("overview"))},
    };
    for (const auto& c : cases) {
      QVERIFY2(c.actual.identifier == c.expected.identifier, c.name);
      QVERIFY2(c.actual.title == c.expected.title, qPrintable(QString::fromUtf8(c.name) + ": " + c.actual.title));
      QVERIFY2(c.actual.body == c.expected.body, qPrintable(QString::fromUtf8(c.name) + ": " + c.actual.body));
      QVERIFY2(c.actual == c.expected, c.name);
    }
  }

  void aStartTimeTravelsExactly() {
    const double seconds = Notifier::secondsSince1970(serverStart);
    QCOMPARE(seconds, 1'799'990'000.25);
    QCOMPARE(Notifier::idleServer(server("/a", true), "1 hour").userInfo.value(Notifier::startedKey).toDouble(),
             seconds);
  }
};

TIDRA_TEST_MAIN(NotifierTest)
#include "NotifierTest.moc"
