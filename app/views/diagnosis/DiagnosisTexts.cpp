#include "views/diagnosis/DiagnosisTexts.h"

#include "views/Formats.h"
#include "views/design/Brand.h"

#include <QLocale>
#include <QStringList>

namespace tidra::DiagnosisTexts {

using Level = SlownessFinding::Level;
using Fix = SlownessFinding::Fix;

Verdict verdict(const std::vector<SlownessFinding>& findings) {
  if (!findings.empty() && findings.front().level == Level::fine)
    return {QStringLiteral("Your computer is running smoothly"), QStringLiteral("checkmark.seal.fill"),
            Theme::Role::green};
  const auto notable = std::count_if(findings.begin(), findings.end(),
                                     [](const SlownessFinding& finding) { return finding.level >= Level::notable; });
  const QString warning = QStringLiteral("exclamationmark.triangle.fill");
  if (notable == 0)
    return {QStringLiteral("Nothing serious, a few things to know"), QStringLiteral("info.circle.fill"),
            Brand::accent()};
  if (notable == 1) return {QStringLiteral("One thing is slowing your computer down"), warning, Theme::Role::orange};
  return {QString::number(notable) + QStringLiteral(" things are slowing your computer down"), warning,
          Theme::Role::orange};
}

Theme::Tint levelTint(Level level) {
  switch (level) {
    case Level::fine: return Theme::Role::green;
    case Level::info: return Brand::accent();
    case Level::notable: return Theme::Role::orange;
    case Level::serious: return Theme::Role::red;
  }
  return Brand::accent();
}

QString toolList(const std::vector<DeveloperTool>& tools) {
  QStringList list;
  for (const auto& tool : tools) list << QString::fromStdString(tool.title);
  // The C locale joins with bare commas; English reads as a list.
  const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
  return locale.createSeparatedList(list);
}

namespace {

Confirmation forStop(const Fix::Stop& stop) {
  if (stop.tools.size() == 1) {
    const auto& tool = stop.tools.front();
    return {tool.kind == DeveloperTool::Kind::containers ? QStringLiteral("Quit") : QStringLiteral("Stop"),
            QString::fromStdString(tool.consequence)};
  }
  return {QStringLiteral("Stop"),
          QStringLiteral("Stops ") + toolList(stop.tools) + QStringLiteral(". Start them again when you need them.")};
}

Confirmation forQuit(const Fix::Quit& quit) {
  const auto& group = quit.group;
  if (group.bundlePath)
    return {QStringLiteral("Quit"), QString::fromStdString(group.name) + QStringLiteral(" gets a chance to save first.")};
  const QString what = group.pids.size() == 1
                           ? QStringLiteral("the process")
                           : QStringLiteral("all ") + QString::number(group.pids.size()) + QStringLiteral(" processes");
  // Named one by one, so nobody ends a process they did not mean to.
  return {QStringLiteral("Quit"), QStringLiteral("This ends ") + what + QStringLiteral(". Anything it was doing stops.") +
                                       Formats::processLines(group.processes)};
}

}  // namespace

std::optional<Confirmation> confirmation(const SlownessFinding& finding) {
  if (!finding.fix) return std::nullopt;
  if (const auto* stop = std::get_if<Fix::Stop>(&finding.fix->value)) return forStop(*stop);
  if (const auto* quit = std::get_if<Fix::Quit>(&finding.fix->value)) return forQuit(*quit);
  return std::nullopt;
}

QString fixButtonTitle(const QString& fixTitle, bool confirms) {
  return confirms ? fixTitle + QStringLiteral("…") : fixTitle;
}

QString checkingText() {
  return QStringLiteral("Looking at memory, the processor, the disk and what's running…");
}

}  // namespace tidra::DiagnosisTexts
