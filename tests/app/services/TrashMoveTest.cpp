#include "support/TestMain.h"
#include "services/TrashMove.h"

#include "support/TempHome.h"

#include <QTest>

#include <sys/stat.h>

using namespace tidra;
using namespace tidra::test;

namespace {

bool exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

class TrashMoveTest : public QObject {
  Q_OBJECT

private slots:
  // Each path lands in exactly one list, and only a path really moved counts as moved: one
  // that vanished before its turn freed nothing and must not be counted as freed.
  void everyPathLandsInTheListOfWhatHappenedToIt() {
    TempHome home;
    const auto kept = home.file("Downloads/kept.iso", 4096);
    const auto gone = home.path("Downloads/gone.iso");
    const auto outside = std::string("/etc/hostname");
    const PathGuard guardian(home.root(), "/Applications");

    const auto outcome = trashEach(guardian, {kept, gone, outside});
    QCOMPARE(outcome.moved, std::vector<std::string>{kept});
    QCOMPARE(outcome.vanished, std::vector<std::string>{gone});
    QCOMPARE(outcome.failures.size(), size_t{1});
    QCOMPARE(outcome.failures.front().path, outside);
    QVERIFY(!exists(kept));
    QVERIFY(exists(home.path(".local/share/Trash/files/kept.iso")));
    QVERIFY(exists("/etc/hostname"));
  }
};

TIDRA_TEST_MAIN(TrashMoveTest)
#include "TrashMoveTest.moc"
