#include "support/TestMain.h"
#include "views/Formats.h"
#include "views/largefiles/LargeFilesTexts.h"

#include <QTest>

using namespace tidra;

namespace {

LargeFile file(const std::string& name, std::int64_t bytes) { return {"/home/a/Movies/" + name, bytes, {}}; }

}  // namespace

class LargeFilesTextsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void thresholdFilterKeepsTheEdge() {
    const std::vector<LargeFile> files{file("a", 2'000'000'000), file("b", 500'000'000), file("c", 499'999'999)};
    QCOMPARE(LargeFilesTexts::listed(files, 500'000'000).size(), std::size_t(2));
    QCOMPARE(LargeFilesTexts::listed(files, 100'000'000), files);
    QCOMPARE(LargeFilesTexts::listed(files, 1'000'000'000).front().path, files.front().path);
    QCOMPARE(LargeFilesTexts::thresholds()[1].label, "500 MB");
    QCOMPARE(LargeFilesTexts::thresholds()[2].bytes, 1'000'000'000);
  }

  void selectionCountsOnlyListedFiles() {
    const std::vector<LargeFile> shown{file("a", 2'000'000'000), file("b", 600'000'000)};
    const std::set<std::string> selection{shown[1].path, "/home/a/Movies/hidden"};
    const auto selected = LargeFilesTexts::selectedFiles(shown, selection);
    QCOMPARE(selected.size(), std::size_t(1));
    QCOMPARE(LargeFilesTexts::selectionSummary(selected).value_or(""), "1 selected, 600 MB");
    QVERIFY(!LargeFilesTexts::selectionSummary({}).has_value());
    QCOMPARE(LargeFilesTexts::listSummary(shown), "2 files, 2.6 GB in total");
    QCOMPARE(LargeFilesTexts::listSummary({}), "0 files, 0 bytes in total");
  }

  // A file with other links frees nothing when moved: what the selection frees leaves it out,
  // while the list's own total still shows what the files hold.
  void filesWithOtherLinksFreeNothing() {
    auto linked = file("linked.mkv", 110'000'000);
    linked.otherLinks = true;
    const std::vector<LargeFile> selected{file("a.mkv", 600'000'000), linked};
    QCOMPARE(LargeFilesTexts::freedBytes(selected), 600'000'000);
    QCOMPARE(LargeFilesTexts::selectionSummary(selected).value_or(""), "2 selected, 600 MB");
    QCOMPARE(LargeFilesTexts::trashQuestion(selected), "Move 2 files (600 MB) to the Trash?");
    QCOMPARE(LargeFilesTexts::trashQuestion({linked}), "Move \"linked.mkv\" (0 bytes) to the Trash?");
    QCOMPARE(LargeFilesTexts::listSummary(selected), "2 files, 710 MB in total");
    QCOMPARE(LargeFilesTexts::linksNote(linked).value_or(""), "other links keep its data");
    QVERIFY(!LargeFilesTexts::linksNote(selected.front()).has_value());
  }

  void trashQuestion_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one quotes the name") << 1 << "Move \"clip0.mov\" (1 GB) to the Trash?";
    QTest::newRow("two count") << 2 << "Move 2 files (2 GB) to the Trash?";
  }
  void trashQuestion() {
    QFETCH(int, count);
    QFETCH(QString, expected);
    std::vector<LargeFile> selected;
    for (int index = 0; index < count; ++index) selected.push_back(file("clip" + std::to_string(index) + ".mov", 1'000'000'000));
    QCOMPARE(LargeFilesTexts::trashQuestion(selected), expected);
  }

  void unreadableNote_data() {
    QTest::addColumn<qint64>("folders");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all read") << qint64{0} << QString();
    QTest::newRow("one") << qint64{1} << "1 folder could not be read";
    QTest::newRow("two") << qint64{2} << "2 folders could not be read";
    QTest::newRow("grouped") << qint64{4096} << "4,096 folders could not be read";
  }
  void unreadableNote() {
    QFETCH(qint64, folders);
    QFETCH(QString, expected);
    const auto note = LargeFilesTexts::unreadableNote(folders);
    QCOMPARE(note.has_value(), !expected.isEmpty());
    QCOMPARE(note.value_or(QString()), expected);
  }

  void progressGroupsTheCount() {
    QCOMPARE(LargeFilesTexts::progress(0), "Searching your home folder…");
    QCOMPARE(LargeFilesTexts::progress(576'255), "Searching your home folder… 576,255 files so far");
  }

  void failureBannerNamesOnlyTheFirst() {
    const std::vector<CleanReport::Failure> failures{{"/home/a/Movies/x.mov", "is in use"}, {"/home/a/y", "gone"}};
    QCOMPARE(LargeFilesTexts::failureTitle(failures), "2 could not be moved to the Trash");
    QCOMPARE(LargeFilesTexts::failureTitle({failures[0]}), "1 could not be moved to the Trash");
    QCOMPARE(LargeFilesTexts::failureDetail(failures, "/home/a"), "~/Movies/x.mov: is in use");
  }

  void cells() {
    QCOMPARE(LargeFilesTexts::typeKey("/home/a/Clip.MOV"), "type:mov");
    QCOMPARE(LargeFilesTexts::typeKey("/home/a/README"), "type:");
    QVERIFY(LargeFilesTexts::inLibrary("/home/a/Library/Caches/x", "/home/a"));
    QVERIFY(!LargeFilesTexts::inLibrary("/home/a/LibraryX/x", "/home/a"));
    QVERIFY(!LargeFilesTexts::inLibrary("/home/ab/Library/x", "/home/a"));
    const auto noon = std::chrono::system_clock::time_point{std::chrono::seconds{1'741'003'200}};  // 2025-03-03 12:00 UTC
    QCOMPARE(Formats::date(noon), "Mar 3, 2025");
  }
};

TIDRA_TEST_MAIN(LargeFilesTextsTest)
#include "LargeFilesTextsTest.moc"
