#pragma once

#include "services/ApplicationServices.h"
#include "services/DesktopServices.h"
#include "services/FileServices.h"
#include "services/ProjectServices.h"

namespace tidra::test {

// Fakes of every desktop part: a FakeThumbnailer, FakeRunningApps, FakeUrlOpener,
// InMemoryPreferences and FakeFolderChooser, fresh on each call.
DesktopServices fakeDesktop();

// Project services that find no project roots, for a central model whose projects are not
// the test's subject.
ProjectServices quietProjects();
// Application and file services that find no apps and no large files, for a central model
// whose screens start their scans but are not the test's subject.
ApplicationServices quietApplications();
FileServices quietFiles();

}  // namespace tidra::test
