#pragma once
// The pictures stored with the player window, loaded by name from the program's resources.
// A picture that is missing is replaced by a plain stand-in of the size asked for, so the
// window keeps its layout and shape. On a screen whose device pixel ratio is above 1 each
// picture is the one drawn at twice the size, of the same logical size (see ui/pictures.h).

#include <QCursor>
#include <QImage>
#include <QRegion>

namespace player {

QImage PlayerPicture(const char* name, qreal devicePixelRatio = 1);

// The custom mouse pointer of the song buttons and the picture buttons.
QCursor PlayerCursor(qreal devicePixelRatio = 1);

// `background` continued down to `height` logical pixels: the rows below it repeat its last
// row. The window is two rows taller than its background and shows them so, so that the strip
// it leaves on the screen when it has slid out at the top edge is as opaque as the picture's foot.
QImage ContinuedBelow(const QImage& background, int height);

// The part of a `width` x `height` client area (logical pixels) the window keeps: every pixel
// of `background`, continued below (ContinuedBelow), that is not exactly 0xFF00FF. A pixel of a
// denser picture is see-through when any of its device pixels is, so the key colour never shows
// at the edge. Columns right of the picture are see-through.
QRegion ShapeOf(const QImage& background, int width, int height);

}  // namespace player
