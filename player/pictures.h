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

// The part of a `width` x `height` client area (logical pixels) the window keeps: every pixel
// of `background` that is not exactly 0xFF00FF. A pixel of a denser picture is see-through when
// any of its device pixels is, so the key colour never shows at the edge. What the picture does
// not cover is see-through.
QRegion ShapeOf(const QImage& background, int width, int height);

}  // namespace player
