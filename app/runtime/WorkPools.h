#pragma once

#include <QThreadPool>

namespace tidra {

// The two pools all engine work runs on: `user` for what a person is waiting for, `utility`
// (low priority) for background checks. Each keeps at least 8 (user) or 4 (utility) threads,
// so "at most 4 at once" means 4 even on a 2-core machine.
enum class Pool { user, utility };

QThreadPool& threadPool(Pool pool);

}  // namespace tidra
