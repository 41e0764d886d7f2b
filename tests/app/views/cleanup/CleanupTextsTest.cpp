#include "support/TestMain.h"
#include "cleanup/AdminCleanup.h"
#include "views/Formats.h"
#include "views/SelectionTexts.h"
#include "views/cleanup/CleanupTexts.h"

#include <QProcess>
#include <QTest>

using namespace tidra;
using Phase = AppModel::CleanupPhase;

namespace {

CleanupItem catalogItem(const std::string& id, CleanupAction action, bool admin = false) {
  return CleanupItem{id, "Title " + id, CleanupCategory::developerTools, "It costs this.", Safety::safe,
                     std::move(action), admin, 1, std::nullopt};
}

CleanupItem deleting(const std::string& id, bool admin = false) {
  return catalogItem(id, CleanupAction::Delete{{"/fake/" + id}}, admin);
}

CleanupItem trashing(const std::string& id) { return catalogItem(id, CleanupAction::Trash{{"/fake/" + id}}); }

}  // namespace

class CleanupTextsTest : public QObject {
  Q_OBJECT

private slots:
  void footerStatusFollowsThePhase_data() {
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<int>("measured");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("cleaning");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("progress");
    QTest::newRow("before anything is published") << Phase::idle << 0 << 0 << 0 << QString() << "Measuring 0 of 0…" << true;
    QTest::newRow("scanning") << Phase::scanning << 3 << 12 << 5 << QString() << "Measuring 3 of 12…" << true;
    QTest::newRow("cleaning") << Phase::cleaning << 12 << 12 << 2 << "Xcode caches" << "Cleaning Xcode caches…" << true;
    QTest::newRow("cleaning, no title") << Phase::cleaning << 12 << 12 << 2 << QString() << "Cleaning …" << true;
    QTest::newRow("ready, none") << Phase::ready << 12 << 12 << 0 << QString() << "0 items selected" << false;
    QTest::newRow("ready, one") << Phase::ready << 12 << 12 << 1 << QString() << "1 item selected" << false;
    QTest::newRow("ready, several") << Phase::ready << 12 << 12 << 7 << QString() << "7 items selected" << false;
  }
  void footerStatusFollowsThePhase() {
    QFETCH(Phase, phase);
    QFETCH(int, measured);
    QFETCH(int, total);
    QFETCH(int, selected);
    QFETCH(QString, cleaning);
    QFETCH(QString, expected);
    QFETCH(bool, progress);
    const auto title = cleaning.isNull() ? std::nullopt : std::optional<QString>(cleaning);
    QCOMPARE(CleanupTexts::footerStatus(phase, measured, total, selected, title), expected);
    QCOMPARE(CleanupTexts::footerShowsProgress(phase), progress);
  }

  void buttonsAndContentFollowThePhase() {
    using C = CleanupTexts::Content;
    // `clean`: whether "Clean…" is enabled with one visible item selected.
    struct Case { Phase phase; bool visible, summary; C content; bool rescan, clean; };
    const Case cases[] = {
        {Phase::idle, false, false, C::looking, true, false},
        {Phase::scanning, false, false, C::looking, false, false},
        {Phase::scanning, true, false, C::list, false, false},
        {Phase::ready, false, false, C::nothingToClean, true, true},
        {Phase::ready, false, true, C::list, true, true},
        {Phase::ready, true, false, C::list, true, true},
        {Phase::cleaning, false, false, C::looking, false, false},
        {Phase::cleaning, true, false, C::list, false, false},
    };
    for (const auto& c : cases) {
      QCOMPARE(CleanupTexts::content(c.phase, c.visible, c.summary), c.content);
      QCOMPARE(CleanupTexts::canRescan(c.phase), c.rescan);
      QCOMPARE(CleanupTexts::canClean(c.phase, 1), c.clean);
      QVERIFY(!CleanupTexts::canClean(c.phase, 0));
    }
  }

  void selectionTotalOnlyWhenPositive() {
    QCOMPARE(CleanupTexts::selectionTotal(0), std::nullopt);
    QCOMPARE(CleanupTexts::selectionTotal(-5), std::nullopt);
    QCOMPARE(CleanupTexts::selectionTotal(4'200'000'000), Formats::bytes(4'200'000'000));
    const std::map<std::string, SizeResult> sizes{{"a", SizeResult(10)}, {"b", SizeResult(5)}};
    QCOMPARE(CleanupTexts::totalBytes({deleting("a"), deleting("b"), deleting("unmeasured")}, sizes), 15);
  }

  void selectAllTouchesOnlyTheSelectableIdsGiven() {
    const std::vector<CleanupItem> category{deleting("a"), deleting("locked", true), deleting("b")};
    const auto ids = CleanupTexts::selectableIds(category);
    QCOMPARE(ids, (std::vector<std::string>{"a", "b"}));
    const std::set<std::string> some{"a", "other"};
    QVERIFY(!SelectionTexts::allSelected(ids, some));
    QCOMPARE(SelectionTexts::selectAllTitle(false), "Select All");
    const auto all = SelectionTexts::toggledAll(ids, some);
    QCOMPARE(all, (std::set<std::string>{"a", "b", "other"}));
    QVERIFY(SelectionTexts::allSelected(ids, all));
    QCOMPARE(SelectionTexts::selectAllTitle(true), "Deselect All");
    QCOMPARE(SelectionTexts::toggledAll(ids, all), (std::set<std::string>{"other"}));
    // The same rule as the projects' headers: nothing to select counts as all selected, and
    // pressing such a header changes nothing.
    QVERIFY(SelectionTexts::allSelected({}, all));
    QCOMPARE(SelectionTexts::toggledAll({}, all), all);
  }

  void consequenceNamesTheAdminRoute() {
    const auto allowed = *AdminCleanup::allowedPaths().begin();
    QCOMPARE(CleanupTexts::consequence(deleting("plain")), "It costs this.");
    const auto byPassword = catalogItem("yarn", CleanupAction::Delete{{allowed}}, true);
    QVERIFY(CleanupTexts::cleansWithPassword(byPassword));
    QCOMPARE(CleanupTexts::consequence(byPassword),
             "Belongs to the system, so the system asks for your password. It costs this.");
    for (const auto& byHand : {deleting("elsewhere", true), catalogItem("empty", CleanupAction::Delete{{}}, true)}) {
      QVERIFY(!CleanupTexts::cleansWithPassword(byHand));
      QCOMPARE(CleanupTexts::consequence(byHand), "Needs an administrator: paste the command into Terminal. It costs this.");
    }
  }

  void adminCommandQuotesEachPath() {
    QCOMPARE(CleanupTexts::adminCommand({}), "sudo rm -rf ");
    QCOMPARE(CleanupTexts::adminCommand({"/opt/a b", "/opt/it's"}), R"(sudo rm -rf '/opt/a b' '/opt/it'\''s')");
  }

  // What a person pastes must reach the shell as exactly these words.
  void adminCommandGivesBackTheExactPathsInAShell() {
    const std::vector<std::string> paths{"/opt/plain", "/opt/it's here", "/opt/$HOME `x` \"q\" \\n;*"};
    auto command = CleanupTexts::adminCommand(paths);
    command.replace(QStringLiteral("sudo rm -rf "), QStringLiteral("printf '%s\\n' "));
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    QVERIFY(shell.waitForFinished());
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()),
             QStringLiteral("/opt/plain\n/opt/it's here\n/opt/$HOME `x` \"q\" \\n;*\n"));
  }

  void confirmationSaysWhereItemsGo() {
    QVERIFY(CleanupTexts::allToTrash({}));
    QVERIFY(CleanupTexts::allToTrash({trashing("a"), trashing("b")}));
    QVERIFY(!CleanupTexts::allToTrash({trashing("a"), deleting("b")}));
    const std::map<std::string, SizeResult> sizes{{"a", SizeResult(96'500'000)}, {"b", SizeResult(2'520'000'000)}};
    const auto forGood = Formats::bytes(2'520'000'000), toTrash = Formats::bytes(96'500'000);
    struct Case {
      std::vector<CleanupItem> items;
      QString title;
      QString message;
    };
    const Case cases[] = {
        {{deleting("b")}, "Clean " + forGood + "?",
         "These items are deleted for good and cannot be restored. Here is what each one costs you."},
        {{trashing("a")}, "Move " + toTrash + " to the Trash?", "These items are moved to the Trash."},
        // The title holds only what is erased; the message says what goes where.
        {{trashing("a"), deleting("b")}, "Clean " + forGood + "?",
         forGood + " is deleted for good and cannot be restored. " + toTrash +
             " is moved to the Trash, so you can still put it back. Here is what each one costs you."},
        {{deleting("c")}, "Clean " + Formats::bytes(0) + "?",
         "These items are deleted for good and cannot be restored. Here is what each one costs you."},
    };
    for (const auto& c : cases) {
      const auto going = CleanupTexts::destinations(c.items, sizes);
      QCOMPARE(CleanupTexts::confirmationTitle(going), c.title);
      QCOMPARE(CleanupTexts::confirmationMessage(going), c.message);
    }
  }

  void summaryTitleAndDetail_data() {
    QTest::addColumn<qint64>("freed");
    QTest::addColumn<qint64>("trashed");
    QTest::addColumn<qint64>("docker");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("detail");
    const auto gb = [](qint64 n) { return Formats::bytes(n * 1'000'000'000); };
    const QString trash = "Another " + gb(2) + " is in the Trash. Empty it to get that space back.";
    const QString docker = gb(1) + " of it was inside Docker, which hands the space back to the system over the next few minutes.";
    QTest::newRow("nothing") << 0LL << 0LL << 0LL << "Freed " + Formats::bytes(0) << QString();
    QTest::newRow("freed only") << 3LL << 0LL << 0LL << "Freed " + gb(3) << QString();
    QTest::newRow("trash only") << 0LL << 2LL << 0LL << "Moved " + gb(2) + " to the Trash" << QString();
    QTest::newRow("both") << 3LL << 2LL << 0LL << "Freed " + gb(3) << trash;
    QTest::newRow("docker") << 3LL << 0LL << 1LL << "Freed " + gb(3) << docker;
    QTest::newRow("all three") << 3LL << 2LL << 1LL << "Freed " + gb(3) << trash + " " + docker;
  }
  void summaryTitleAndDetail() {
    QFETCH(qint64, freed);
    QFETCH(qint64, trashed);
    QFETCH(qint64, docker);
    QFETCH(QString, title);
    QFETCH(QString, detail);
    const CleanSummary summary{freed * 1'000'000'000, trashed * 1'000'000'000, docker * 1'000'000'000, {}};
    QCOMPARE(CleanupTexts::summaryTitle(summary), title);
    QCOMPARE(CleanupTexts::summaryDetail(summary).value_or(QString()), detail);
    QCOMPARE(CleanupTexts::summaryDetail(summary).has_value(), !detail.isNull());
  }

  // A removal the history could not take still says what it freed, and that it is unrecorded.
  void anUnrecordedCleanSaysSo() {
    const CleanSummary summary{6'500'000, 0, 0, {}};
    QCOMPARE(CleanupTexts::summaryTitle(summary), "Freed " + Formats::bytes(6'500'000));
    QCOMPARE(CleanupTexts::summaryDetail(summary, std::string("No space left on device")).value_or(QString()),
             QString("It could not be added to the history (No space left on device); Tidra adds it after the next "
                     "removal."));
  }

  // Clean waits, with its reason, only while the screen is ready and the gate is held.
  void cleanWaitsForTheWeeklyCleanWithItsReason() {
    for (const auto phase : {Phase::idle, Phase::scanning, Phase::ready, Phase::cleaning}) {
      QVERIFY(!CleanupTexts::waitingStatus(phase, false));
      QCOMPARE(CleanupTexts::waitingStatus(phase, true).has_value(), phase == Phase::ready);
    }
    QCOMPARE(*CleanupTexts::waitingStatus(Phase::ready, true),
             QString("Waiting for the weekly automatic clean to finish…"));
  }

  void failuresReadWithTheHomeAsTilde() {
    QCOMPARE(CleanupTexts::failureCount(1), "1 could not be removed");
    QCOMPARE(CleanupTexts::failureCount(3), "3 could not be removed");
    QCOMPARE(CleanupTexts::failureLine({"/home/me/Library/x", "Permission denied"}, "/home/me"),
             "~/Library/x: Permission denied");
    QCOMPARE(CleanupTexts::failureLine({"/opt/x", "Busy"}, "/home/me"), "/opt/x: Busy");
  }
};

TIDRA_TEST_MAIN(CleanupTextsTest)
#include "CleanupTextsTest.moc"
