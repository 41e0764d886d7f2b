#include "files/FileExtension.h"
#include "files/SimilarPhotoFinder.h"

#include <utf8proc.h>

#include <cstdlib>
#include <ctime>
#include <set>

namespace tidra::SimilarPhotoFinder {
namespace {

// Case folding through utf8proc so that "SCREENSHOT" and its non-ASCII spellings match;
// text that is no valid UTF-8 falls back to ASCII lower case.
std::string folded(const std::string& text) {
    utf8proc_uint8_t* out = nullptr;
    const auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                     static_cast<utf8proc_ssize_t>(text.size()), &out,
                                     static_cast<utf8proc_option_t>(UTF8PROC_CASEFOLD | UTF8PROC_COMPOSE));
    if (length < 0) {
        std::string lower = text;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }
    std::string result(reinterpret_cast<const char*>(out), static_cast<std::size_t>(length));
    std::free(out);
    return result;
}

bool readNumber(std::string_view text, std::size_t at, std::size_t digits, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

bool isPhotoName(std::string_view name) {
    static const std::set<std::string> extensions = {"jpg", "jpeg", "heic", "heif", "png", "tif",
                                                     "tiff", "webp", "dng", "cr2", "cr3", "nef",
                                                     "arw", "raf", "orf", "rw2"};
    return extensions.contains(FileExtension::lowered(name));
}

bool isCameraPhoto(const PhotoProperties& properties) {
    if (properties.userComment && folded(*properties.userComment).find("screenshot") != std::string::npos)
        return false;
    return properties.hasMake || properties.hasModel || properties.hasExposureTime || properties.hasFNumber;
}

std::optional<Date> cameraDate(std::string_view text) {
    // Cameras pad the text with spaces or zero bytes; anything else after it does not parse.
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    if (text.size() != 19) return std::nullopt;
    static const std::pair<std::size_t, char> separators[] = {{4, ':'}, {7, ':'}, {10, ' '}, {13, ':'}, {16, ':'}};
    for (const auto& [at, c] : separators)
        if (text[at] != c) return std::nullopt;
    int year, month, day, hour, minute, second;
    if (!readNumber(text, 0, 4, year) || !readNumber(text, 5, 2, month) || !readNumber(text, 8, 2, day) ||
        !readNumber(text, 11, 2, hour) || !readNumber(text, 14, 2, minute) || !readNumber(text, 17, 2, second))
        return std::nullopt;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return std::chrono::system_clock::from_time_t(seconds);
}

} // namespace tidra::SimilarPhotoFinder
