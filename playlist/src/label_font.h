#pragma once
// Fonts of the control's labels, shared by the measuring in the model and by the drawer, so
// that a label is exactly as wide as the text painted into it.

#include <QFont>
#include <QString>

#include "playlist/stdss.h"

namespace playlist {

// The label's font: its style's face, bold and italic flags at its own pixel size, with the
// product's stand-ins (ui/fonts.h) for a face that is not installed.
QFont LabelFont(const TextElement& label);

// Width in pixels of `text` drawn with the label's font.
int TextWidth(const TextElement& label, const QString& text);

// Distance from the label's top to the baseline of its text.
int TextBaseline(const TextElement& label);

// The face of the row templates: the application's default font.
QString DefaultFontName();

}  // namespace playlist
