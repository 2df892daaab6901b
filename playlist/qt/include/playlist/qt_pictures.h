#pragma once
// The playlist's skin picture between Qt and the control, which holds it as plain pixels.

#include <QImage>

#include "platform/pixels.h"
#include "playlist/stdss.h"

namespace playlist {

// `image` as plain pixels, keeping its device pixel ratio. A null image gives empty pixels.
platform::Pixels ToPixels(const QImage& image);

// A view of `pixels` as an image without copying them, valid while `pixels` lives unchanged.
QImage ImageView(const platform::Pixels& pixels);

// The image of the scroller picture box `pic`, as GUI left it: imageWidth x imageHeight logical
// pixels, transparent but for the skin pieces it names, at the skin's density. Null when the box
// has no image.
QImage PictureImage(const stdSS& control, const PictureElement& pic);

}  // namespace playlist
