#include "support/TestMain.h"
#include "views/design/Brand.h"
#include "views/diagnosis/DiagnosisTexts.h"

#include <QLocale>
#include <QTest>
#include <QWidget>

using namespace tidra;
using Level = SlownessFinding::Level;
using Fix = SlownessFinding::Fix;

namespace {

SlownessFinding finding(Level level, std::optional<Fix> fix = std::nullopt) {
  SlownessFinding made;
  made.id = "f";
  made.level = level;
  made.fix = std::move(fix);
  if (made.fix) made.fixTitle = "Fix";
  return made;
}

DeveloperTool tool(const std::string& title, DeveloperTool::Kind kind = DeveloperTool::Kind::languageServer) {
  DeveloperTool made;
  made.title = title;
  made.kind = kind;
  made.consequence = title + " starts again when needed.";
  return made;
}

ProcessGroup slowGroup(std::optional<std::string> bundle, std::vector<pid_t> pids) {
  ProcessGroup made;
  made.name = "Xcode";
  made.bundlePath = std::move(bundle);
  made.pids = std::move(pids);
  return made;
}

QColor colour(const Theme::Tint& tint) {
  QWidget widget;
  return tint.resolve(&widget);
}

}  // namespace

class DiagnosisTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void verdict_data() {
    QTest::addColumn<QList<int>>("levels");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QColor>("colour");
    const QColor orange = colour(Theme::Role::orange);
    const QString triangle = "exclamationmark.triangle.fill";
    QTest::newRow("first is fine") << QList<int>{0, 3} << "Your computer is running smoothly"
                                   << "checkmark.seal.fill" << colour(Theme::Role::green);
    QTest::newRow("empty") << QList<int>{} << "Nothing serious, a few things to know" << "info.circle.fill"
                           << colour(Brand::accent());
    QTest::newRow("only info") << QList<int>{1, 1} << "Nothing serious, a few things to know" << "info.circle.fill"
                               << colour(Brand::accent());
    QTest::newRow("one notable") << QList<int>{2, 1} << "One thing is slowing your computer down" << triangle << orange;
    QTest::newRow("two serious and info") << QList<int>{3, 3, 1} << "2 things are slowing your computer down"
                                          << triangle << orange;
  }
  void verdict() {
    QFETCH(QList<int>, levels);
    QFETCH(QString, title);
    QFETCH(QString, symbol);
    QFETCH(QColor, colour);
    std::vector<SlownessFinding> findings;
    for (int level : levels) findings.push_back(finding(Level(level)));
    const auto verdict = DiagnosisTexts::verdict(findings);
    QCOMPARE(verdict.title, title);
    QCOMPARE(verdict.symbol, symbol);
    QCOMPARE(::colour(verdict.tint), colour);
  }

  void confirmation_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("consequence");
    QTest::newRow("one language server") << 0 << "Stop" << "Server A starts again when needed.";
    QTest::newRow("the containers") << 1 << "Quit" << "Docker starts again when needed.";
    QTest::newRow("three tools") << 2 << "Stop"
                                 << "Stops A, B, and C. Start them again when you need them.";
    QTest::newRow("an app") << 3 << "Quit" << "Xcode gets a chance to save first.";
    QTest::newRow("one process") << 4 << "Quit" << "This ends the process. Anything it was doing stops.";
    QTest::newRow("three processes") << 5 << "Quit" << "This ends all 3 processes. Anything it was doing stops.";
    QTest::newRow("each process named") << 6 << "Quit"
                                        << "This ends all 2 processes. Anything it was doing stops.\n"
                                           "• node scripts/busy.js — in ~/code/webshop\n• esbuild";
  }
  void confirmation() {
    QFETCH(int, index);
    QFETCH(QString, verb);
    QFETCH(QString, consequence);
    auto named = slowGroup(std::nullopt, {7, 8});
    named.processes = {{7, "node scripts/busy.js", "~/code/webshop"}, {8, "esbuild", std::nullopt}};
    const std::vector<Fix> fixes{
        Fix::Stop{{tool("Server A")}},
        Fix::Stop{{tool("Docker", DeveloperTool::Kind::containers)}},
        Fix::Stop{{tool("A"), tool("B"), tool("C")}},
        Fix::Quit{slowGroup("/Applications/Xcode.app", {1, 2})},
        Fix::Quit{slowGroup(std::nullopt, {7})},
        Fix::Quit{slowGroup(std::nullopt, {7, 8, 9})},
        Fix::Quit{named},
    };
    const auto words = DiagnosisTexts::confirmation(finding(Level::notable, fixes.at(index)));
    QCOMPARE(words, (DiagnosisTexts::Confirmation{verb, consequence}));
  }

  void fixesThatOpenSomethingNeedNoConfirmation() {
    QCOMPARE(DiagnosisTexts::confirmation(finding(Level::info)), std::nullopt);
    QCOMPARE(DiagnosisTexts::confirmation(finding(Level::info, Fix::OpenCleanup{})), std::nullopt);
    QCOMPARE(DiagnosisTexts::confirmation(finding(Level::info, Fix::OpenSettings{"settings://x"})), std::nullopt);
    QCOMPARE(DiagnosisTexts::fixButtonTitle("Stop Servers", true), QStringLiteral("Stop Servers…"));
    QCOMPARE(DiagnosisTexts::fixButtonTitle("Free Up Space", false), QStringLiteral("Free Up Space"));
  }

  void levelColours() {
    QCOMPARE(colour(DiagnosisTexts::levelTint(Level::fine)), colour(Theme::Role::green));
    QCOMPARE(colour(DiagnosisTexts::levelTint(Level::info)), colour(Brand::accent()));
    QCOMPARE(colour(DiagnosisTexts::levelTint(Level::notable)), colour(Theme::Role::orange));
    QCOMPARE(colour(DiagnosisTexts::levelTint(Level::serious)), colour(Theme::Role::red));
  }
};

TIDRA_TEST_MAIN(DiagnosisTextsTest)
#include "DiagnosisTextsTest.moc"
