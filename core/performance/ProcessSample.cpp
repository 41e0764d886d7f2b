#include "performance/ProcessSample.h"

#include "performance/ProcessGroups.h"

#include <utility>

namespace tidra {

ProcessSample::ProcessSample(std::vector<ProcessSnapshot> snapshots)
    : processes(std::move(snapshots)), groups(ProcessGroups::groups(processes)) {}

} // namespace tidra
