#pragma once
// Fonts of the control's labels, shared by the measuring (QtTextMeasure) and by the drawer, so
// that a label is exactly as wide as the text painted into it.

#include <QFont>

#include "playlist/stdss.h"

namespace playlist {

// A label's font: its style's face, bold and italic flags at its own pixel size, with the
// product's stand-ins (ui/fonts.h) for a face that is not installed.
QFont LabelFont(const FontLook& look);
QFont LabelFont(const TextElement& label);

// Distance from the label's top to the baseline of its text.
int TextBaseline(const TextElement& label);

}  // namespace playlist
