#pragma once

#include "runtime/WorkPools.h"

#include <QCoreApplication>

namespace tidra::test {

// Lets background work have its turn before a test checks that nothing happened: waits until
// both pools are idle and their posted results have run on this thread, again while those
// results start more work.
inline void settlePools() {
  for (int round = 0; round < 100; ++round) {
    for (const auto pool : {Pool::user, Pool::utility}) threadPool(pool).waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    if (round >= 2 && threadPool(Pool::user).activeThreadCount() == 0 &&
        threadPool(Pool::utility).activeThreadCount() == 0)
      return;
  }
}

}  // namespace tidra::test
