#include "views/CoalescedRefresh.h"

#include <utility>

namespace tidra {

void CoalescedRefresh::schedule() {
  if (std::exchange(queued, true)) return;
  QMetaObject::invokeMethod(owner, [this] {
    queued = false;
    refresh();
  }, Qt::QueuedConnection);
}

}  // namespace tidra
