#include "support/TestMain.h"
#include "platform/FileRevealer.h"

#include <QTest>

using namespace tidra;

class FileRevealerTest : public QObject {
  Q_OBJECT

private slots:
  void addressesKeepEveryByte_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("uri");
    QTest::newRow("plain") << QByteArray("/home/u/a-b_c.~d") << "file:///home/u/a-b_c.~d";
    QTest::newRow("signs that end a path in an address") << QByteArray("/home/u/50% #1?") << "file:///home/u/50%25%20%231%3F";
    QTest::newRow("UTF-8") << QByteArray("/home/u/caf\xc3\xa9") << "file:///home/u/caf%C3%A9";
    QTest::newRow("Latin-1, not UTF-8") << QByteArray("/home/u/caf\xe9") << "file:///home/u/caf%E9";
    QTest::newRow("another byte that reads alike decoded") << QByteArray("/home/u/caf\xe8") << "file:///home/u/caf%E8";
  }

  // Each byte of the name reaches the file manager as itself, so a name that is not UTF-8
  // still names its own file and not one that merely reads alike.
  void addressesKeepEveryByte() {
    QFETCH(QByteArray, path);
    QFETCH(QString, uri);
    const auto made = LiveFileRevealer::uriOf(path.toStdString());
    QCOMPARE(made, uri);
    QCOMPARE(QByteArray::fromPercentEncoding(made.mid(7).toLatin1()), path);
  }
};

TIDRA_TEST_MAIN(FileRevealerTest)
#include "FileRevealerTest.moc"
