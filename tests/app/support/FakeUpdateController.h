#pragma once

#include "Updater.h"

namespace tidra::test {

// An update controller that does nothing, for runs that must have one.
class FakeUpdateController final : public UpdateController {
public:
  void checkForUpdates() override {}
  bool automaticallyChecksForUpdates() const override { return false; }
  void setAutomaticallyChecksForUpdates(bool) override {}
};

}  // namespace tidra::test
