#include "CommandLine.h"

#include "models/Section.h"
#include "snapshot/Snapshot.h"

#include <QDir>

#include <optional>

namespace tidra::CommandLine {

namespace {

const QStringList& valueOptions() {
  static const QStringList names{QStringLiteral("--demo"),    QStringLiteral("--snapshot"),
                                 QStringLiteral("--snapshot-sections"), QStringLiteral("--home"),
                                 QStringLiteral("--section"), QStringLiteral("--appearance")};
  return names;
}

const QStringList& flags() {
  static const QStringList names{QStringLiteral("--snapshot-clean"), QStringLiteral("--snapshot-extras")};
  return names;
}

// Qt's own options that take the next argument; its other single-dash options stand alone.
const QStringList& qtValueOptions() {
  static const QStringList names{
      QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"), QStringLiteral("-platformtheme"),
      QStringLiteral("-plugin"),   QStringLiteral("-qwindowgeometry"),    QStringLiteral("-geometry"),
      QStringLiteral("-qwindowicon"), QStringLiteral("-qwindowtitle"),    QStringLiteral("-title"),
      QStringLiteral("-display"),  QStringLiteral("-name"),               QStringLiteral("-style"),
      QStringLiteral("-stylesheet"), QStringLiteral("-session")};
  return names;
}

Verdict refuse(const QString& error) { return {Verdict::Action::refuse, {}, error}; }

QString sectionNames() {
  QStringList names;
  for (const Section section : allSections()) names << rawValue(section);
  return names.join(QStringLiteral(", "));
}

// What is wrong with `value` for `option`, or nothing; `value` may be rewritten (the home).
std::optional<QString> judgeValue(const QString& option, QString& value, const Surroundings& surroundings) {
  if (option == QLatin1String("--snapshot") && value.isEmpty())
    return QStringLiteral("--snapshot needs a folder to write the images into, not an empty text");
  if (option == QLatin1String("--section") && !sectionFromRawValue(value))
    return QStringLiteral("--section \"%1\" names no section; one of %2").arg(value, sectionNames());
  if (option == QLatin1String("--appearance") && value != QLatin1String("light") && value != QLatin1String("dark"))
    return QStringLiteral("--appearance \"%1\" is neither light nor dark").arg(value);
  if (option == QLatin1String("--home")) {
    if (value.isEmpty()) return QStringLiteral("--home needs a folder, not an empty text");
    value = QDir::cleanPath(QDir(surroundings.workingFolder).absoluteFilePath(value));
    if (!surroundings.isFolder(value)) return QStringLiteral("--home %1 is not a folder").arg(value);
  }
  return std::nullopt;
}

}  // namespace

Verdict read(const QStringList& arguments, const Surroundings& surroundings) {
  Verdict verdict{Verdict::Action::run, arguments.mid(0, 1), {}};
  bool clean = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) return {Verdict::Action::help, {}, {}};
    if (argument == QLatin1String("--version")) return {Verdict::Action::version, {}, {}};
    verdict.arguments << argument;
    if (flags().contains(argument)) {
      clean = clean || argument == QLatin1String("--snapshot-clean");
      continue;
    }
    const bool ours = valueOptions().contains(argument);
    if (!ours && argument.startsWith(QLatin1String("--"))) return refuse(QStringLiteral("unknown option %1").arg(argument));
    if (!ours && !argument.startsWith(QLatin1Char('-'))) return refuse(QStringLiteral("unexpected argument \"%1\"").arg(argument));
    if (!ours && !qtValueOptions().contains(argument)) continue;
    if (i + 1 == arguments.size()) return refuse(QStringLiteral("%1 needs a value").arg(argument));
    QString value = arguments[++i];
    if (ours)
      if (const auto problem = judgeValue(argument, value, surroundings)) return refuse(*problem);
    verdict.arguments << value;
  }
  // Cleaning in a screenshot run removes real files: only from a substitute home or demo data.
  if (clean && !Snapshot::cleans(verdict.arguments))
    return refuse(QStringLiteral("--snapshot-clean cleans only a --home folder or the demo data; give one of them"));
  return verdict;
}

QString usage() {
  return QStringLiteral(
      "Usage: tidra [options]\n"
      "\n"
      "  --demo yes|no               show the fixed demo data instead of this computer's\n"
      "  --home FOLDER               use FOLDER as the home folder\n"
      "  --section NAME              open NAME at launch: %1\n"
      "  --appearance light|dark     force the light or the dark appearance\n"
      "  --snapshot FOLDER           write screenshots of every section into FOLDER, then quit\n"
      "  --snapshot-sections LIST    only these sections, comma-separated, in this order\n"
      "  --snapshot-clean            also clean and shoot the results (needs --home or --demo yes)\n"
      "  --snapshot-extras           also shoot the tray panel, the settings and the diagnosis\n"
      "  -h, --help                  print this help and quit\n"
      "  --version                   print the version and quit\n")
      .arg(sectionNames());
}

int exitCode(Verdict::Action action) { return action == Verdict::Action::refuse ? 2 : 0; }

}  // namespace tidra::CommandLine
