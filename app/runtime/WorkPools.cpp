#include "runtime/WorkPools.h"

#include <QThread>

#include <algorithm>

namespace tidra {

namespace {

QThreadPool* makePool(int minimumThreads, QThread::Priority priority) {
  auto* pool = new QThreadPool;  // lives as long as the process: workers may outlive any model
  pool->setMaxThreadCount(std::max(QThread::idealThreadCount(), minimumThreads));
  pool->setThreadPriority(priority);
  return pool;
}

}  // namespace

QThreadPool& threadPool(Pool pool) {
  static QThreadPool* const user = makePool(8, QThread::NormalPriority);
  static QThreadPool* const utility = makePool(4, QThread::LowPriority);
  return pool == Pool::user ? *user : *utility;
}

}  // namespace tidra
