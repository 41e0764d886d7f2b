#include "files/ImageLibraries.h"

#include <exiv2/exiv2.hpp>
#include <vips/vips.h>

#include <mutex>

namespace tidra::ImageLibraries {

void start() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (VIPS_INIT("tidra") == 0) {
            vips_concurrency_set(1);
            vips_cache_set_max(0);
        }
        // Damaged files are data to us, not news for the terminal.
        g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {},
                          nullptr);
        // Exiv2's XMP parser must be set up before threads use it.
        Exiv2::XmpParser::initialize();
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

} // namespace tidra::ImageLibraries
