#include "support/FakeDesktop.h"

#include "platform/UrlOpener.h"
#include "settings/InMemoryPreferences.h"
#include "support/FakeFolderChooser.h"
#include "support/FakeRunningApps.h"
#include "support/FakeThumbnailer.h"

namespace tidra::test {

DesktopServices fakeDesktop() {
  return {std::make_shared<FakeThumbnailer>(), std::make_shared<FakeRunningApps>(),
          std::make_shared<FakeUrlOpener>(), std::make_shared<InMemoryPreferences>(),
          std::make_shared<FakeFolderChooser>()};
}

ProjectServices quietProjects() {
  ProjectServices services;
  services.defaultRoots = [](const std::string&) { return std::vector<std::string>{}; };
  return services;
}

}  // namespace tidra::test
