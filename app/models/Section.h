#pragma once

#include <QString>

#include <array>
#include <optional>

namespace tidra {

// The sections of the main window, in sidebar order. Their raw values are what `--section` and
// `--snapshot-sections` name.
enum class Section { overview, cleanup, projects, largeFiles, duplicates, applications, performance };

const std::array<Section, 7>& allSections();
QString rawValue(Section section);
// Exact, case-sensitive; any other text names no section.
std::optional<Section> sectionFromRawValue(const QString& text);

}  // namespace tidra
