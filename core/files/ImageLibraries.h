#pragma once

namespace tidra::ImageLibraries {

// Readies libvips and exiv2 once per process; cheap on every later call, safe from any
// thread. Everything that uses libvips or exiv2 calls it first. libvips runs single-threaded
// per image and caches nothing, because the finders fan out over photos themselves and a
// cached decode would hide a changed file; its vector (Orc) path is off, because it is not
// safe when many threads run libvips at once; exiv2's and libvips' warnings are muted, since
// the engine keeps no log.
void start();

} // namespace tidra::ImageLibraries
