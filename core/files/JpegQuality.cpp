#include "files/JpegQuality.h"

#include "files/ReadBuffer.h"
#include "platform/FileReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace tidra::JpegQuality {
namespace {

// The luminance table of the JPEG standard's annex K, at quality 50.
constexpr std::array<int, 64> standardLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// Encoders put their tables before the first scan, after the metadata; EXIF alone may take
// 64 KiB.
constexpr std::size_t headerBytes = 160 * 1024;

constexpr unsigned char startOfScan = 0xDA, endOfImage = 0xD9, quantizationTable = 0xDB;

// The scale in percent that maps the standard table onto `table` (sums compared, as the
// usual encoder scales each entry), turned back into the quality that gives it.
int qualityOf(const std::array<int, 64>& table) {
    const double sum = std::accumulate(table.begin(), table.end(), 0.0);
    const double standard = std::accumulate(standardLuminance.begin(), standardLuminance.end(), 0.0);
    const double scale = 100.0 * sum / standard;
    const double quality = scale <= 100.0 ? (200.0 - scale) / 2.0 : 5000.0 / scale;
    return std::clamp(int(std::lround(quality)), 1, 100);
}

// The luminance table (id 0) among the tables of one DQT segment's payload.
std::optional<std::array<int, 64>> luminanceIn(const unsigned char* payload, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
        const int precision = payload[at] >> 4, id = payload[at] & 0x0F;
        const std::size_t entry = precision == 0 ? 1 : 2;
        if (at + 1 + 64 * entry > size) return std::nullopt;
        std::array<int, 64> table{};
        for (std::size_t i = 0; i < 64; ++i) {
            const unsigned char* p = payload + at + 1 + i * entry;
            table[i] = entry == 1 ? p[0] : p[0] << 8 | p[1];
        }
        if (id == 0) return table;
        at += 1 + 64 * entry;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> ofHeader(const unsigned char* bytes, std::size_t size) {
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const unsigned char marker = bytes[at + 1];
        // Fill bytes may pad a marker.
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == startOfScan || marker == endOfImage) return std::nullopt;
        const std::size_t length = std::size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length < 2 || at + 2 + length > size) return std::nullopt;
        if (marker == quantizationTable)
            if (const auto table = luminanceIn(bytes + at + 4, length - 2)) return qualityOf(*table);
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<int> of(const std::string& path) {
    sys::FileReader file;
    if (!file.open(path, false)) return std::nullopt;
    const ReadBuffer buffer{std::int64_t{headerBytes}};
    const auto got = file.read(0, buffer.data(), headerBytes);
    if (got <= 0) return std::nullopt;
    return ofHeader(buffer.data(), std::size_t(got));
}

} // namespace tidra::JpegQuality
