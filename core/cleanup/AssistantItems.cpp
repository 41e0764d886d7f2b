#include "cleanup/AssistantItems.h"

#include "cleanup/CatalogBuilders.h"
#include "platform/EntryAttributes.h"

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

const std::string transcriptExtension = ".jsonl";

// Each old transcript, followed by the folder of the same name that may hold its attachments.
std::vector<std::string> oldTranscripts(const std::string& home, std::chrono::system_clock::time_point cutoff) {
    std::vector<std::string> old;
    const auto isTranscript = [](const std::string& name) { return name.ends_with(transcriptExtension); };
    for (const auto& project : Builder::children(home + "/.claude/projects"))
        for (const auto& transcript : Builder::children(project, isTranscript)) {
            const auto modified = sys::modificationTime(transcript);
            if (!modified || *modified >= cutoff) continue;
            old.push_back(transcript);
            old.push_back(transcript.substr(0, transcript.size() - transcriptExtension.size()));
        }
    return old;
}

} // namespace

void assistantsAt(Builder& b, std::chrono::system_clock::time_point now) {
    const auto old = oldTranscripts(b.env.home, now - std::chrono::seconds(2'592'000));
    // Every transcript comes with its companion, so half the paths are transcripts (a companion
    // may itself end in ".jsonl").
    const auto count = old.size() / 2;
    b.add({"claude.sessions", "Claude Code conversations older than a month (" + std::to_string(count) + ")",
           CleanupCategory::apps, "They can no longer be resumed or searched.", Safety::review},
          PathAction::remove, old);
    b.add({"chrome.onDeviceModel", "Chrome's on-device AI model", CleanupCategory::apps,
           "Chrome downloads it again unless its on-device AI is turned off in chrome://flags.", Safety::review},
          // Chrome's user data folder on Linux is ~/.config/google-chrome (its
          // docs/user_data_dir.md); the model sits beside the profiles, not inside one.
          PathAction::remove,
          {b.env.home + "/Library/Application Support/Google/Chrome/OptGuideOnDeviceModel",
           b.env.home + "/.config/google-chrome/OptGuideOnDeviceModel"});
}

void assistants(Builder& b) {
    assistantsAt(b, std::chrono::system_clock::now());
}

} // namespace tidra::CleanupCatalog
