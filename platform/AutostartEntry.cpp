#include "platform/AutostartEntry.h"

#include "platform/DesktopEntries.h"
#include "platform/PathText.h"
#include "platform/SmallFile.h"

namespace tidra::sys {
namespace {

bool isFieldCode(std::string_view word) {
    static const std::string_view codes = "fFuUdDnNickvm";
    return word.size() == 2 && word[0] == '%' && codes.find(word[1]) != std::string_view::npos;
}

std::string withoutPercentEscapes(const std::string& word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        out += word[i];
        if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%') ++i;
    }
    return out;
}

} // namespace

std::optional<AutostartEntry> readAutostartEntry(const std::string& path) {
    const auto text = readSmallFile(path, 1u << 20);
    if (!text) return std::nullopt;
    const auto fields = parseDesktopFile(*text);
    return AutostartEntry{fields.name, execProgram(fields.exec), !fields.hidden && !fields.autostartDisabled};
}

std::vector<std::string> execWords(std::string_view exec) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < exec.size()) {
        if (exec[i] == ' ' || exec[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        bool quoted = false;
        for (; i < exec.size() && (quoted || (exec[i] != ' ' && exec[i] != '\t')); ++i) {
            if (exec[i] == '"') quoted = !quoted;
            else if (quoted && exec[i] == '\\' && i + 1 < exec.size()) word += exec[++i];
            else word += exec[i];
        }
        if (!isFieldCode(word)) words.push_back(withoutPercentEscapes(word));
    }
    return words;
}

std::optional<std::string> execProgram(std::string_view exec) {
    const auto words = execWords(exec);
    auto word = words.begin();
    if (word != words.end() && PathText::lastComponent(*word) == "env") {
        ++word;
        while (word != words.end() && word->find('=') != std::string::npos) ++word;
    }
    if (word == words.end() || word->empty()) return std::nullopt;
    return *word;
}

} // namespace tidra::sys
