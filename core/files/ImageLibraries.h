#pragma once

namespace tidra::ImageLibraries {

// Readies libvips and exiv2 once per process; cheap on every later call, safe from any
// thread. libvips runs single-threaded per image and caches nothing, because the finders
// fan out over photos themselves and a cached decode would hide a changed file; exiv2's
// and libvips' warnings are muted, since the engine keeps no log.
void start();

} // namespace tidra::ImageLibraries
