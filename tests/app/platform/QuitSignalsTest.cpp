#include "support/TestMain.h"
#include "platform/QuitSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace tidra;

class QuitSignalsTest : public QObject {
  Q_OBJECT

private slots:
  // SIGTERM, SIGINT and SIGHUP (a closed terminal) no longer end the process on the spot: each
  // reaches the event loop as a request to quit in order; without the object their default
  // action is back.
  void terminationSignalsBecomeQuitRequests() {
    {
      QuitSignals signals_;
      QSignalSpy requests(&signals_, &QuitSignals::quitRequested);
      QCOMPARE(::raise(SIGTERM), 0);
      QCOMPARE(::raise(SIGINT), 0);
      QCOMPARE(::raise(SIGHUP), 0);
      QTRY_COMPARE(requests.count(), 3);
      QCOMPARE(requests.at(0).at(0).toInt(), SIGTERM);
      QCOMPARE(requests.at(1).at(0).toInt(), SIGINT);
      QCOMPARE(requests.at(2).at(0).toInt(), SIGHUP);
    }
    for (const int signal : {SIGTERM, SIGHUP}) {
      struct sigaction current {};
      ::sigaction(signal, nullptr, &current);
      QVERIFY(current.sa_handler == SIG_DFL);
    }
  }

  // Started under nohup: a closed terminal is still no reason to quit.
  void ignoredHangupStaysIgnored() {
    ::signal(SIGHUP, SIG_IGN);
    {
      QuitSignals signals_;
      struct sigaction current {};
      ::sigaction(SIGHUP, nullptr, &current);
      QVERIFY(current.sa_handler == SIG_IGN);
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, nullptr, &after);
    QVERIFY(after.sa_handler == SIG_IGN);
    ::signal(SIGHUP, SIG_DFL);
  }
};

TIDRA_TEST_MAIN(QuitSignalsTest)
#include "QuitSignalsTest.moc"
