#include "files/ImageLibraries.h"

#include <exiv2/exiv2.hpp>
#include <vips/vips.h>
// Not part of vips.h, and needs it first.
#include <vips/vector.h>

#include <mutex>

namespace tidra::ImageLibraries {

void start() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (VIPS_INIT("tidra") == 0) {
            vips_concurrency_set(1);
            vips_cache_set_max(0);
            // The vector path compiles an Orc program for each resize and frees it again when
            // the operation ends; Orc frees that code without a lock, so photos read side by
            // side on many threads corrupted the heap now and then. The plain C path is safe.
            vips_vector_set_enabled(FALSE);
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
