#include "support/TestMain.h"
#include "views/Formats.h"
#include "views/duplicates/DuplicatesTexts.h"

#include <QTest>

using namespace tidra;

namespace {

DuplicateFile file(const std::string& path, std::int64_t bytes, std::uint64_t data) {
  return {path, bytes, {}, {}, CloneID::ownIdentity(1, data)};
}

DuplicateGroup duplicateGroup(const std::string& hash, std::int64_t size, std::vector<DuplicateFile> files) {
  return {hash, size, std::move(files)};
}

}  // namespace

Q_DECLARE_METATYPE(tidra::DuplicateFinder::Stage)
Q_DECLARE_METATYPE(tidra::SimilarPhotoFinder::Stage)

class DuplicatesTextsTest : public QObject {
  Q_OBJECT

private slots:
  void questions() {
    const auto a = file("/h/Documents/report.pdf", 10, 1);
    const auto b = file("/h/Downloads/report copy.pdf", 10, 2);
    QCOMPARE(DuplicatesTexts::identicalQuestion({a}), QStringLiteral("Move \"report.pdf\" to the Trash?"));
    QCOMPARE(DuplicatesTexts::identicalQuestion({a, b}), QStringLiteral("Move 2 files to the Trash?"));
    SimilarPhoto photo{"/h/Pictures/IMG_1.jpg", 10, 4, 3, {}, 0, {}, {}, {}};
    QCOMPARE(DuplicatesTexts::similarQuestion({photo}), QStringLiteral("Move \"IMG_1.jpg\" to the Trash?"));
    QCOMPARE(DuplicatesTexts::similarQuestion({photo, photo, photo}), QStringLiteral("Move 3 photos to the Trash?"));
  }

  void trashMessage_data() {
    QTest::addColumn<int>("lost");
    QTest::addColumn<QString>("noun");
    QTest::addColumn<QString>("ending");
    const QString base = QStringLiteral("12.5 MB is freed when you empty the Trash, and you can put them back until then.");
    QTest::newRow("file, none lost") << 0 << "file" << base;
    QTest::newRow("file, one lost")
        << 1 << "file" << base + " Every copy of one file is selected, so none would stay outside the Trash.";
    QTest::newRow("file, two lost")
        << 2 << "file" << base + " Every copy of 2 files is selected, so none would stay outside the Trash.";
    QTest::newRow("set, none lost") << 0 << "set" << base;
    QTest::newRow("set, one lost")
        << 1 << "set" << base + " Every photo of one set is selected, so none of it would stay outside the Trash.";
    QTest::newRow("set, three lost")
        << 3 << "set" << base + " Every photo of 3 sets is selected, so none of them would stay outside the Trash.";
  }

  void trashMessage() {
    QFETCH(int, lost);
    QFETCH(QString, noun);
    QFETCH(QString, ending);
    QCOMPARE(DuplicatesTexts::trashMessage(12'500'000, lost, noun, 2), ending);
  }

  void zeroIsWrittenAsANumber() {
    QVERIFY(DuplicatesTexts::trashMessage(0, 0, "file", 2).startsWith(QStringLiteral("0 bytes is freed when")));
  }

  // A move to the Trash frees nothing until the Trash is emptied: no footer or header says it
  // does, and the tooltips say when it happens.
  void trashMovesAreNotCalledFreeing() {
    const QStringList texts{DuplicatesTexts::setsSummary(12, 3'400'000'000), DuplicatesTexts::photoSetsSummary(2, 8'000'000),
                            DuplicatesTexts::selectionSummary(5, 1'200'000'000), DuplicatesTexts::besidesTheBest(8'000'000)};
    const QStringList expected{"12 sets, 3.4 GB in extra copies", "2 sets, 8 MB besides the best", "5 selected, 1.2 GB",
                               "8 MB besides the best"};
    QCOMPARE(texts, expected);
    for (const QString& text : texts) QVERIFY2(!text.contains(QLatin1String("free")), qPrintable(text));
    for (const QString& help : {DuplicatesTexts::extraCopiesHelp(), DuplicatesTexts::besidesTheBestHelp()})
      QVERIFY2(help.endsWith(QLatin1String("The space is freed when you empty the Trash.")), qPrintable(help));
  }

  void identicalProgress_data() {
    QTest::addColumn<DuplicateFinder::Stage>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing yet") << DuplicateFinder::Stage{DuplicateFinder::Looking{0}}
                                 << "Looking through your folders…";
    QTest::newRow("looking") << DuplicateFinder::Stage{DuplicateFinder::Looking{12'345}}
                             << "Looking through your folders… 12,345 files so far";
    QTest::newRow("comparing") << DuplicateFinder::Stage{DuplicateFinder::Comparing{1'200, 3'400}}
                               << "Comparing files that could be the same… 1,200 of 3,400";
    QTest::newRow("reading whole files") << DuplicateFinder::Stage{DuplicateFinder::Confirming{1'000'000, 2'000'000'000}}
                                         << "Comparing files that could be the same… 1 MB of 2 GB";
  }

  void identicalProgress() {
    QFETCH(DuplicateFinder::Stage, stage);
    QFETCH(QString, text);
    QCOMPARE(DuplicatesTexts::identicalProgress(stage), text);
  }

  void similarProgress_data() {
    using Stage = SimilarPhotoFinder::Stage;
    QTest::addColumn<Stage>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing yet") << Stage{Stage::Looking{0}} << "Looking through your folders…";
    QTest::newRow("looking") << Stage{Stage::Looking{9'731}} << "Looking through your folders… 9,731 files so far";
    QTest::newRow("reading") << Stage{Stage::Reading{107, 1'284}} << "Looking at photos… 107 of 1,284";
    QTest::newRow("grouping") << Stage{Stage::Grouping{}} << "Grouping photos of the same scene…";
  }

  void similarProgress() {
    QFETCH(SimilarPhotoFinder::Stage, stage);
    QFETCH(QString, text);
    QCOMPARE(DuplicatesTexts::similarProgress(stage), text);
  }

  void labels() {
    QCOMPARE(DuplicatesTexts::selectionSummary(1234, 0), QStringLiteral("1234 selected, 0 bytes"));
    QCOMPARE(DuplicatesTexts::copiesBadge(3), QStringLiteral("3 copies"));
    QCOMPARE(DuplicatesTexts::eachSize(12'500'000), QStringLiteral("12.5 MB each"));
    QCOMPARE(DuplicatesTexts::photosBadge(2), QStringLiteral("2 photos"));
    QCOMPARE(DuplicatesTexts::photoCaption({"/p", 3'100'000, 4032, 3024, {}, 0, {}, {}, {}}),
             QStringLiteral("4032 × 3024 · 3.1 MB"));
    QCOMPARE(DuplicatesTexts::setTitle({}), QString());
    QVERIFY(!DuplicatesTexts::unreadableNote(0).has_value());
    QCOMPARE(DuplicatesTexts::unreadableNote(1), QStringLiteral("1 folder could not be read"));
    QCOMPARE(DuplicatesTexts::unreadableNote(3), QStringLiteral("3 folders could not be read"));
  }

  // A set's date reads as every other date of the program, in the locale's order.
  void setTitlesUseTheOneDateFormat() {
    SimilarPhotoGroup group;
    group.photos.push_back({"/p", 1, 1, 1, std::chrono::system_clock::time_point{std::chrono::seconds{1'736'942'400}}, 0, {}, {}, {}});
    for (const auto& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
      QLocale::setDefault(locale);
      QVERIFY2(DuplicatesTexts::setTitle(group).startsWith(Formats::date(group.photos.front().date) + " at "),
               qPrintable(DuplicatesTexts::setTitle(group)));
    }
    QLocale::setDefault(QLocale::c());
  }

  void failures() {
    QCOMPARE(DuplicatesTexts::failureTitle(3), QStringLiteral("3 could not be moved to the Trash"));
    const std::vector<CleanReport::Failure> three{
        {"/home/a/Downloads/x.zip", "is in use"}, {"/home/a/y", "refused"}, {"/elsewhere/z", "gone"}};
    QCOMPARE(DuplicatesTexts::failureDetail(three, "/home/a"), QStringLiteral("~/Downloads/x.zip: is in use"));
    QCOMPARE(DuplicatesTexts::failureDetail({}, "/home/a"), std::nullopt);
  }

  void thresholdTable() {
    const auto& table = DuplicatesTexts::thresholds();
    QCOMPARE(table.size(), std::size_t{3});
    QCOMPARE(table[1].label, QStringLiteral("10 MB"));
    QCOMPARE(table[2].bytes, std::int64_t{100'000'000});
    QCOMPARE(DuplicatesTexts::thresholdIndex(10'000'000), 1);
    QCOMPARE(DuplicatesTexts::thresholdIndex(42), 0);
  }

  // Hidden sets count nothing; a selected clone of a staying copy frees nothing; a set exactly
  // at the minimum is shown.
  void identicalFigures() {
    auto kept = file("/h/a", 10'000'000, 1);
    auto clone = file("/h/a-clone", 10'000'000, 1);
    auto copy = file("/h/a-copy", 10'000'000, 2);
    const std::vector<DuplicateGroup> groups{
        duplicateGroup("big", 10'000'000, {kept, clone, copy}),
        duplicateGroup("small", 2'000'000, {file("/h/s1", 2'000'000, 3), file("/h/s2", 2'000'000, 4)}),
    };
    const std::set<std::string> selection{"/h/a-clone", "/h/a-copy", "/h/s2"};
    QCOMPARE(DuplicatesTexts::shownSets(groups, 10'000'000).size(), std::size_t{1});
    QCOMPARE(DuplicatesTexts::identicalFreed(groups, 1'000'000, selection), std::int64_t{12'000'000});
    QCOMPARE(DuplicatesTexts::identicalFreed(groups, 10'000'000, selection), std::int64_t{10'000'000});
    QCOMPARE(DuplicatesTexts::identicalFreed(groups, 100'000'000, selection), std::int64_t{0});
    QCOMPARE(DuplicatesTexts::identicalReclaimable(groups, 10'000'000), std::int64_t{10'000'000});
  }

  // A copy whose data another name outside the search keeps frees nothing, and says so.
  void copiesWithOtherLinks() {
    auto linked = file("/h/b-link", 4'000'000, 6);
    linked.otherLinks = true;
    const std::vector<DuplicateGroup> groups{
        duplicateGroup("b", 4'000'000, {file("/h/b", 4'000'000, 5), linked, file("/h/b-copy", 4'000'000, 7)})};
    QCOMPARE(DuplicatesTexts::identicalFreed(groups, 1'000'000, {"/h/b-link"}), std::int64_t{0});
    QCOMPARE(DuplicatesTexts::identicalFreed(groups, 1'000'000, {"/h/b-link", "/h/b-copy"}), std::int64_t{4'000'000});
    QCOMPARE(DuplicatesTexts::identicalReclaimable(groups, 1'000'000), std::int64_t{4'000'000});
    QCOMPARE(DuplicatesTexts::linksNote(linked).value_or(""), "other links keep its data");
    QVERIFY(!DuplicatesTexts::linksNote(groups[0].files[0]).has_value());
  }
};

TIDRA_TEST_MAIN(DuplicatesTextsTest)
#include "DuplicatesTextsTest.moc"
