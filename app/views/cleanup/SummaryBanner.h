#pragma once

#include "models/CleanSummary.h"

#include <QWidget>

#include <string>

namespace tidra {

class AppModel;
class Button;

// The result of the last clean at the head of the cleanup list: what was freed, moved to the
// Trash or reclaimed inside Docker, with "Dismiss"; under it, when paths failed, a collapsed
// "<n> could not be removed" that opens to one "~/path: reason" line each.
class SummaryBanner : public QWidget {
public:
  SummaryBanner(AppModel& model, const CleanSummary& summary, const std::string& home, QWidget* parent = nullptr);

  Button* failuresToggle() const { return toggle; }
  QWidget* failuresList() const { return failures; }

private:
  QWidget* makeFailures(const CleanSummary& summary, const std::string& home);

  Button* toggle = nullptr;
  QWidget* failures = nullptr;
};

}  // namespace tidra
