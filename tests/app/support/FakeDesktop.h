#pragma once

#include "services/DesktopServices.h"
#include "services/ProjectServices.h"

namespace tidra::test {

// Fakes of every desktop part: a FakeThumbnailer, FakeRunningApps, FakeUrlOpener,
// InMemoryPreferences and FakeFolderChooser, fresh on each call.
DesktopServices fakeDesktop();

// Project services that find no project roots, for a central model whose projects are not
// the test's subject.
ProjectServices quietProjects();

}  // namespace tidra::test
