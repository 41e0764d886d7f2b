#include "support/TestMain.h"
#include "CommandLine.h"

#include <QTest>

using namespace tidra;
using Action = CommandLine::Verdict::Action;

namespace {

// A working folder of /work holding the folders /work/home and /srv/home only.
const CommandLine::Surroundings kSurroundings{QStringLiteral("/work"), [](const QString& path) {
                                                 return path == QLatin1String("/work/home") ||
                                                        path == QLatin1String("/srv/home");
                                               }};

QStringList program(const QStringList& rest) { return QStringList{QStringLiteral("tidra")} + rest; }

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT

private slots:
  void judgesTheOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    // For a run: the arguments the program goes on with; for a refusal: a piece of the error.
    QTest::addColumn<QStringList>("expected");
    const auto run = static_cast<int>(Action::run), refuse = static_cast<int>(Action::refuse);
    const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

    row("nothing") << QStringList{} << run << program({});
    row("help") << QStringList{"--demo", "yes", "--help"} << static_cast<int>(Action::help) << QStringList{};
    row("short help") << QStringList{"-h"} << static_cast<int>(Action::help) << QStringList{};
    row("version") << QStringList{"--version"} << static_cast<int>(Action::version) << QStringList{};
    row("every option") << QStringList{"--demo", "no", "--section", "cleanup", "--appearance", "dark",
                                       "--snapshot", "/tmp/shots", "--snapshot-sections", "overview,,nothing",
                                       "--snapshot-extras"}
                        << run
                        << program({"--demo", "no", "--section", "cleanup", "--appearance", "dark", "--snapshot",
                                    "/tmp/shots", "--snapshot-sections", "overview,,nothing", "--snapshot-extras"});
    row("Qt's own options pass") << QStringList{"-platform", "offscreen", "-reverse", "--demo", "yes"} << run
                                 << program({"-platform", "offscreen", "-reverse", "--demo", "yes"});
    row("unknown option") << QStringList{"--demo", "yes", "--bogus"} << refuse << QStringList{"unknown option --bogus"};
    row("option with =") << QStringList{"--home=/srv/home"} << refuse << QStringList{"unknown option --home=/srv/home"};
    row("stray word") << QStringList{"cleanup"} << refuse << QStringList{"unexpected argument \"cleanup\""};
    row("value missing") << QStringList{"--section"} << refuse << QStringList{"--section needs a value"};
    row("Qt value missing") << QStringList{"-platform"} << refuse << QStringList{"-platform needs a value"};
    row("no such section") << QStringList{"--section", "Cleanup"} << refuse << QStringList{"names no section"};
    row("no such appearance") << QStringList{"--appearance", "blue"} << refuse << QStringList{"neither light nor dark"};
    row("empty screenshot folder") << QStringList{"--snapshot", ""} << refuse << QStringList{"--snapshot needs a folder"};

    row("relative home made absolute") << QStringList{"--home", "./home/", "--demo", "yes"} << run
                                       << program({"--home", "/work/home", "--demo", "yes"});
    row("absolute home kept") << QStringList{"--home", "/srv/home"} << run << program({"--home", "/srv/home"});
    row("missing home") << QStringList{"--home", "nowhere"} << refuse << QStringList{"--home /work/nowhere is not a folder"};
    row("empty home") << QStringList{"--home", ""} << refuse << QStringList{"--home needs a folder"};

    // Cleaning in a screenshot run must never reach the real home.
    row("clean without home") << QStringList{"--snapshot", "/tmp/s", "--snapshot-clean"} << refuse
                              << QStringList{"--snapshot-clean cleans only a --home folder or the demo data"};
    row("clean with demo off") << QStringList{"--demo", "no", "--snapshot", "/tmp/s", "--snapshot-clean"} << refuse
                               << QStringList{"--snapshot-clean"};
    row("clean with home") << QStringList{"--snapshot", "/tmp/s", "--snapshot-clean", "--home", "home"} << run
                           << program({"--snapshot", "/tmp/s", "--snapshot-clean", "--home", "/work/home"});
    row("clean in demo") << QStringList{"--snapshot-clean", "--demo", "yes", "--snapshot", "/tmp/s"} << run
                         << program({"--snapshot-clean", "--demo", "yes", "--snapshot", "/tmp/s"});
    // The first --demo decides demo mode, so a later "yes" makes no demo data to clean.
    row("clean with a later demo yes") << QStringList{"--demo", "no", "--demo", "yes", "--snapshot", "/tmp/s",
                                                      "--snapshot-clean"}
                                       << refuse << QStringList{"--snapshot-clean"};
  }

  void judgesTheOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, expected);
    const CommandLine::Verdict verdict = CommandLine::read(program(arguments), kSurroundings);
    QCOMPARE(static_cast<int>(verdict.action), action);
    if (verdict.action == Action::run) QCOMPARE(verdict.arguments, expected);
    if (verdict.action != Action::refuse) return;
    QVERIFY2(verdict.error.contains(expected.value(0)), qPrintable(verdict.error));
    QVERIFY(!verdict.error.contains(QLatin1Char('\n')));
  }

  void exitCodes() {
    QCOMPARE(CommandLine::exitCode(Action::help), 0);
    QCOMPARE(CommandLine::exitCode(Action::version), 0);
    QCOMPARE(CommandLine::exitCode(Action::refuse), 2);
  }

  void theUsageNamesEveryOption() {
    for (const char* option : {"--demo", "--home", "--section", "--appearance", "--snapshot ", "--snapshot-sections",
                               "--snapshot-clean", "--snapshot-extras", "--help", "--version"})
      QVERIFY2(CommandLine::usage().contains(QLatin1String(option)), option);
  }
};

TIDRA_TEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
