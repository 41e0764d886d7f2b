#pragma once

#include "services/ApplicationServices.h"
#include "services/CleanupServices.h"
#include "services/FileServices.h"
#include "services/PerformanceServices.h"
#include "services/ProjectServices.h"

namespace tidra {

// Every engine call the application makes, grouped by the model that makes it. A value of
// std::functions handed to each model; tests start from live() or from {} and replace single
// entries.
struct AppServices {
  CleanupServices cleanup;
  PerformanceServices performance;
  FileServices files;
  ProjectServices projects;
  ApplicationServices applications;

  static AppServices live();
};

}  // namespace tidra
