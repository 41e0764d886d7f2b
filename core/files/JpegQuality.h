#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The quality a JPEG file was saved at, read from its luminance quantization table alone:
// no pixel is decoded. Copies saved again at a lower quality than their original give
// themselves away here, whatever their size.
namespace tidra::JpegQuality {

// The quality (1...100 on the usual encoder scale) whose standard table is nearest, on
// average, to the file's luminance table. Nothing for a file that is no JPEG, has no
// luminance table before its first scan, or is cut short. Safe from many threads.
std::optional<int> of(const std::string& path);

// The same for the bytes at the start of a JPEG file (at least up to its first scan).
std::optional<int> ofHeader(const unsigned char* bytes, std::size_t size);

} // namespace tidra::JpegQuality
