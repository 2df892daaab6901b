#pragma once
// The pictures stored with the player window, loaded by name from the program's resources.
// A picture that is missing is replaced by a plain stand-in of the size asked for, so the
// window keeps its layout and shape.

#include <QCursor>
#include <QImage>
#include <QRegion>

namespace player {

QImage PlayerPicture(const char* name);

// The custom mouse pointer of the song buttons and the picture buttons.
QCursor PlayerCursor();

// The part of a `width` x `height` client area the window keeps: every pixel of
// `background` that is not exactly 0xFF00FF. What the picture does not cover is see-through.
QRegion ShapeOf(const QImage& background, int width, int height);

}  // namespace player
