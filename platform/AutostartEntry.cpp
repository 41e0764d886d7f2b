#include "platform/AutostartEntry.h"

#include "platform/RegularFile.h"

namespace tidra::sys {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The escapes every string value of a desktop file may hold.
std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (const char next = value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\', out += next;
        }
    }
    return out;
}

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

std::string_view fileName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

AutostartEntry parseAutostartEntry(std::string_view text) {
    AutostartEntry entry;
    std::optional<std::string> exec;
    bool hidden = false, gnomeEnabled = true, inEntry = false, sawName = false, sawHidden = false, sawGnome = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inEntry || equals == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string value = unescaped(trimmed(line.substr(equals + 1)));
        if (key == "Name" && !sawName) sawName = true, entry.name = value;
        else if (key == "Exec" && !exec) exec = value;
        else if (key == "Hidden" && !sawHidden) sawHidden = true, hidden = value == "true";
        else if (key == "X-GNOME-Autostart-enabled" && !sawGnome) sawGnome = true, gnomeEnabled = value != "false";
    }
    if (exec) entry.program = execProgram(*exec);
    entry.enabled = !hidden && gnomeEnabled;
    return entry;
}

std::optional<AutostartEntry> readAutostartEntry(const std::string& path) {
    const auto text = readRegularFile(path, 1u << 20);
    if (!text) return std::nullopt;
    return parseAutostartEntry(*text);
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
    if (word != words.end() && fileName(*word) == "env") {
        ++word;
        while (word != words.end() && word->find('=') != std::string::npos) ++word;
    }
    if (word == words.end() || word->empty()) return std::nullopt;
    return *word;
}

} // namespace tidra::sys
