#include "files/FileExtension.h"

#include "platform/PathText.h"

namespace tidra::FileExtension {

std::string lowered(std::string_view path) {
    const auto name = sys::PathText::lastComponent(path);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

} // namespace tidra::FileExtension
