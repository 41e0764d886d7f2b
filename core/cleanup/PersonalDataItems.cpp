#include "cleanup/CatalogBuilders.h"

#include "platform/PathText.h"
#include "platform/PropertyList.h"
#include "system/PrivacyAccess.h"

#include <ctime>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

// "Mar 3, 2024" in the local time zone.
std::string shortDate(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return {};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return std::string(months[local.tm_mon]) + " " + std::to_string(local.tm_mday) + ", " +
           std::to_string(local.tm_year + 1900);
}

// "Backup of <device>[ from <date>]", from what the backup's Info.plist tells.
std::string backupTitle(const std::string& backup) {
    const auto info = sys::readPropertyList(backup + "/Info.plist");
    std::string device = "a device";
    std::string when;
    if (info && info->as<sys::PlistValue::Dictionary>()) {
        if (const auto* name = info->string("Device Name")) device = *name;
        if (const auto date = info->date("Last Backup Date")) when = " from " + shortDate(*date);
    }
    return "Backup of " + device + when;
}

Builder::Entry personalEntry(std::string id, std::string title, std::string consequence) {
    return {std::move(id), std::move(title), CleanupCategory::personalData, std::move(consequence), Safety::review};
}

} // namespace

// Backups and mail attachments are the user's own data: offered only for review, and only
// when the whole home folder can be read.
void personalData(Builder& b) {
    if (!PrivacyAccess::hasFullDiskAccess(b.env.home)) return;
    for (const auto& backup : Builder::children(b.env.home + "/Library/Application Support/MobileSync/Backup")) {
        const std::string folderName(sys::PathText::lastComponent(backup));
        b.add(personalEntry("backup." + folderName, backupTitle(backup),
                            "Erased for good. You can no longer restore the device from it."),
              PathAction::remove, {backup});
    }
    b.add(personalEntry("mail.downloads", "Mail attachments you opened",
                        "Copies made when you opened attachments; the originals stay in your mail."),
          PathAction::removeContents,
          {b.env.home + "/Library/Containers/com.apple.mail/Data/Library/Mail Downloads"});
}

} // namespace tidra::CleanupCatalog
