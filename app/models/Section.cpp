#include "models/Section.h"

namespace tidra {

const std::array<Section, 7>& allSections() {
  static const std::array<Section, 7> sections{Section::overview,   Section::cleanup,      Section::projects,
                                               Section::largeFiles, Section::duplicates,   Section::applications,
                                               Section::performance};
  return sections;
}

QString rawValue(Section section) {
  switch (section) {
    case Section::overview: return QStringLiteral("overview");
    case Section::cleanup: return QStringLiteral("cleanup");
    case Section::projects: return QStringLiteral("projects");
    case Section::largeFiles: return QStringLiteral("largeFiles");
    case Section::duplicates: return QStringLiteral("duplicates");
    case Section::applications: return QStringLiteral("applications");
    case Section::performance: return QStringLiteral("performance");
  }
  return {};
}

std::optional<Section> sectionFromRawValue(const QString& text) {
  for (Section section : allSections())
    if (rawValue(section) == text) return section;
  return std::nullopt;
}

}  // namespace tidra
