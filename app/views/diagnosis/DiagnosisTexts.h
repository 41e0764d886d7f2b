#pragma once

#include "performance/SlownessFinding.h"
#include "views/design/Theme.h"

#include <QString>

#include <optional>
#include <vector>

// Every text and colour of the diagnosis view, as pure functions of the findings.
namespace tidra::DiagnosisTexts {

// The headline over the findings.
struct Verdict {
  QString title;
  QString symbol;
  Theme::Tint tint;
};
// Smooth when the first finding is fine; otherwise by how many findings are notable or worse.
Verdict verdict(const std::vector<SlownessFinding>& findings);

// Green, the accent, orange, red: the chip and the row background of a finding.
Theme::Tint levelTint(SlownessFinding::Level level);

// What the inline confirmation of a stopping or quitting fix says; nothing for fixes that
// apply at once (opening settings or the cleanup screen) and for findings without a fix.
struct Confirmation {
  QString verb;
  QString consequence;
  bool operator==(const Confirmation&) const = default;
};
std::optional<Confirmation> confirmation(const SlownessFinding& finding);

// Tool titles joined the way the locale writes a list: "a", "a and b", "a, b, and c".
QString toolList(const std::vector<DeveloperTool>& tools);

// The fix button: its title with "…" when a confirmation follows.
QString fixButtonTitle(const QString& fixTitle, bool confirms);

// The line shown while the check runs.
QString checkingText();

}  // namespace tidra::DiagnosisTexts
