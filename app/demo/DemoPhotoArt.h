#pragma once

#include <QImage>
#include <QSize>

// The pictures demo mode shows in place of photo thumbnails: a landscape (sky, sun, a mountain
// ridge, water) drawn on a 400 by 300 canvas and scaled to the size asked for.
namespace tidra::DemoPhotoArt {

// `scene` picks one of four palettes (scene mod 4; negative scenes wrap the same way), so the
// photos of one group share one; each `variant` moves the sun 7 canvas units right and 3.5 down
// and the ridge 7 left. A null image for an empty size. Safe from any thread.
QImage image(int scene, int variant, QSize size);

} // namespace tidra::DemoPhotoArt
