#include "support/TestMain.h"
#include "platform/QuitSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace tidra;

class QuitSignalsTest : public QObject {
  Q_OBJECT

private slots:
  // SIGTERM and SIGINT no longer end the process on the spot: each reaches the event loop as a
  // request to quit in order; without the object their default action is back.
  void terminationSignalsBecomeQuitRequests() {
    {
      QuitSignals signals_;
      QSignalSpy requests(&signals_, &QuitSignals::quitRequested);
      QCOMPARE(::raise(SIGTERM), 0);
      QCOMPARE(::raise(SIGINT), 0);
      QTRY_COMPARE(requests.count(), 2);
      QCOMPARE(requests.at(0).at(0).toInt(), SIGTERM);
      QCOMPARE(requests.at(1).at(0).toInt(), SIGINT);
    }
    struct sigaction current {};
    ::sigaction(SIGTERM, nullptr, &current);
    QVERIFY(current.sa_handler == SIG_DFL);
  }
};

TIDRA_TEST_MAIN(QuitSignalsTest)
#include "QuitSignalsTest.moc"
