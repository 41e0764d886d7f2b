#include "performance/ProcessSample.h"

#include "performance/ProcessGroups.h"

#include <utility>

namespace tidra {

ProcessSample::ProcessSample(std::vector<ProcessSnapshot> snapshots, const std::string& home)
    : processes(std::move(snapshots)), groups(ProcessGroups::groups(processes, home)) {}

} // namespace tidra
