#include "views/applications/ApplicationsTexts.h"

#include "apps/AppRemover.h"
#include "views/Formats.h"
#include "views/HistoryTexts.h"

#include <QLocale>

namespace tidra::ApplicationsTexts {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

QString scanningStatus(int apps, int measured) {
  if (apps == 0) return QStringLiteral("Looking for apps…");
  return QStringLiteral("Measuring %1 of %2…").arg(measured).arg(apps);
}

QString readyStatus(int apps, std::int64_t bytes) {
  return QStringLiteral("%1, %2 with their data").arg(Formats::count(apps, "app", "apps"), Formats::bytes(bytes));
}

QString removingStatus(const std::optional<QString>& name) {
  return QStringLiteral("Uninstalling %1…").arg(name.value_or(QString()));
}

QString lastOpened(const std::optional<Date>& date, Date now) {
  return date ? Formats::relativeDate(*date, now) : QStringLiteral("Unknown");
}

QString lastOpenedUnknownHelp() { return QStringLiteral("Nothing records when it was last opened."); }

// Apps come from several places here (AppImages, desktop entries, Flatpaks), not one folder.
QString noAppsDescription() { return QStringLiteral("Apps you install appear here."); }

// What keeps Tidra out on this desktop is a folder it cannot read, not a privacy setting.
QString accessNoticeDetail() {
  return QStringLiteral("Tidra cannot read your home folder, so that part of an app's data stays behind.");
}

QString passwordHelp() {
  return QStringLiteral("Installed by the App Store or an installer, so the file manager asks for your password to "
                        "move it.");
}

QString lockedHelp(const InstalledApp& app) {
  const auto owner = AppRemover::systemOwner(app.kind);
  return owner ? text(*owner) : passwordHelp();
}

QString confirmationTitle(const std::vector<InstalledApp>& selected) {
  if (selected.size() == 1) return QStringLiteral("Uninstall %1?").arg(text(selected.front().name));
  return QStringLiteral("Uninstall %1 apps?").arg(selected.size());
}

QString confirmationMessage(int selectedCount, std::int64_t bytes) {
  return QStringLiteral("%1 and what it keeps in your home folder move to the Trash, %2 in all. Open apps are asked to "
                        "quit first. Untick anything you want to keep.")
      .arg(selectedCount == 1 ? QStringLiteral("The app") : QStringLiteral("Each app"), Formats::bytes(bytes));
}

std::optional<QString> passwordNote(const QStringList& names) {
  if (names.isEmpty()) return std::nullopt;
  return QStringLiteral("The file manager asks for your password to move %1: %2 to the system.")
      .arg(QLocale().createSeparatedList(names),
           names.size() == 1 ? QStringLiteral("it belongs") : QStringLiteral("they belong"));
}

std::optional<QString> systemNote(const QStringList& names) {
  if (names.isEmpty()) return std::nullopt;
  return (names.size() == 1 ? QStringLiteral("%1 stays: the system installed it, so only its package manager removes it.")
                            : QStringLiteral("%1 stay: the system installed them, so only its package manager removes them."))
      .arg(QLocale().createSeparatedList(names));
}

std::optional<QString> remainsNote(const std::vector<InstalledApp>& selected, const std::string& home) {
  QStringList lines;
  for (const auto& app : selected)
    if (!app.remains.empty())
      lines << QStringLiteral("%1 stays: it holds %2, but maybe more than %2 alone.")
                   .arg(Formats::tildePath(app.remains, home), QString::fromStdString(app.name));
  if (lines.isEmpty()) return std::nullopt;
  return lines.join(QLatin1Char('\n'));
}

QString partText(const std::string& path, bool isApp, const std::string& home) {
  if (isApp) {
    const auto slash = path.find_last_of('/');
    return text(slash == std::string::npos ? path : path.substr(slash + 1));
  }
  static const std::string library = "/Library/";
  const auto found = path.find(library);
  if (found == std::string::npos) return Formats::tildePath(path, home);
  return text(path.substr(found + library.size()))
      .split(QLatin1Char('/'), Qt::SkipEmptyParts)
      .join(QStringLiteral(" \u203A "));
}

QString partHelp(const std::string& path, bool isApp, const std::string& home) {
  return isApp ? QStringLiteral("The app itself") : Formats::tildePath(path, home);
}

QString bannerTitle(const UninstallSummary& summary) {
  if (summary.apps.empty()) return QStringLiteral("Nothing was uninstalled");
  if (summary.apps.size() == 1) return QStringLiteral("Moved %1 to the Trash").arg(text(summary.apps.front()));
  return QStringLiteral("Moved %1 apps to the Trash").arg(summary.apps.size());
}

std::optional<QString> bannerDetail(const UninstallSummary& summary, const std::optional<std::string>& unrecorded) {
  std::optional<QString> detail;
  if (summary.trashed > 0)
    detail = Formats::bytes(summary.trashed) + QStringLiteral(" comes back when you empty the Trash.");
  return HistoryTexts::withUnrecorded(detail, unrecorded);
}

QString stayedLabel(int failures) {
  if (failures == 1) return QStringLiteral("1 item stayed");
  return QStringLiteral("%1 items stayed").arg(failures);
}

QString failureLine(const CleanReport::Failure& failure, const std::string& home) {
  return QStringLiteral("%1: %2").arg(Formats::tildePath(failure.path, home), text(failure.reason));
}

}  // namespace tidra::ApplicationsTexts
