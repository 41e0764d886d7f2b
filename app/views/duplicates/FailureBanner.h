#pragma once

#include "cleanup/CleanReport.h"
#include "views/design/Banner.h"

#include <functional>
#include <string>
#include <vector>

namespace tidra::duplicates {

// What the last move to the Trash left behind: how many, the first with its reason, and
// "Dismiss", which calls `dismiss`.
class FailureBanner : public Banner {
public:
  FailureBanner(const std::vector<CleanReport::Failure>& failures, const std::string& home,
                std::function<void()> dismiss, QWidget* parent = nullptr);
};

}  // namespace tidra::duplicates
