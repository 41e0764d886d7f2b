#include "platform/MountTable.h"

#include "platform/PathText.h"
#include "platform/SmallFile.h"

namespace tidra::sys::MountTable {
namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

std::string unescaped(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// The `index`th space-separated field of a line, or empty.
std::string_view field(std::string_view line, int index) {
    for (int i = 0; i < index; ++i) {
        const auto space = line.find(' ');
        if (space == std::string_view::npos) return {};
        line.remove_prefix(space + 1);
    }
    return line.substr(0, line.find(' '));
}

bool isAtOrBelow(const std::string& path, const std::string& folder) {
    return folder == "/" || PathText::isAtOrInside(path, folder);
}

} // namespace

std::vector<std::string> mountPoints(std::string_view mountinfo) {
    std::vector<std::string> points;
    while (!mountinfo.empty()) {
        const auto end = mountinfo.find('\n');
        const std::string_view line = mountinfo.substr(0, end);
        if (const auto point = field(line, 4); !point.empty()) points.push_back(unescaped(point));
        if (end == std::string_view::npos) break;
        mountinfo.remove_prefix(end + 1);
    }
    return points;
}

std::optional<std::string> firstAtOrBelow(const std::string& folder) {
    const auto text = readSmallFile("/proc/self/mountinfo", std::size_t(16) << 20);
    if (!text) return folder;
    for (const auto& point : mountPoints(*text))
        if (isAtOrBelow(point, folder)) return point;
    return std::nullopt;
}

} // namespace tidra::sys::MountTable
