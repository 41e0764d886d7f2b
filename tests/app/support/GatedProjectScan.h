#pragma once

#include "services/ProjectServices.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace tidra {

// A project scan service the test releases by hand: each call waits for its own release and
// answers the next of `results`, recording its roots and stage reporter.
struct GatedProjectScan : std::enable_shared_from_this<GatedProjectScan> {
  std::mutex mutex;
  std::condition_variable changed;
  int released = 0;
  int calls = 0;
  std::vector<ProjectScan> results;
  std::vector<std::vector<std::string>> roots;
  std::vector<ProjectScanner::StageReport> reports;

  void release() {
    std::lock_guard lock(mutex);
    ++released;
    changed.notify_all();
  }
  int callCount() {
    std::lock_guard lock(mutex);
    return calls;
  }
  ProjectScan operator()(const std::vector<std::string>& scanRoots, const ProjectScanner::StageReport& report) {
    std::unique_lock lock(mutex);
    const int mine = calls++;
    roots.push_back(scanRoots);
    reports.push_back(report);
    changed.wait(lock, [&] { return released > mine; });
    return results.at(static_cast<std::size_t>(mine));
  }
  decltype(ProjectServices::scan) service() {
    return [self = shared_from_this()](const std::vector<std::string>& scanRoots, const std::string&, const PathGuard&,
                                       const std::vector<std::string>&, const ProjectScanner::StageReport& report,
                                       const ProjectScanner::IsCancelled&) { return (*self)(scanRoots, report); };
  }
};

}  // namespace tidra
