#pragma once
// Text widths as Qt draws the playlist's labels: with the product's fonts (ui/fonts.h), which
// stand in for a face that is not installed. Needs a QGuiApplication; GUI thread only.

#include "playlist/text_measure.h"

namespace playlist {

// The one measure of the process. Its caches are shared by every control that uses it, so the
// widths of titles seen once are not measured again.
const TextMeasure& QtTextMeasure();

}  // namespace playlist
