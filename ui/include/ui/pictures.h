#pragma once
// The windows' pictures for the density of the screen. Each picture a window shows comes as
// "NAME.png" and, drawn at twice the size, "NAME@2x.png" beside it (a resource or a file). On a
// screen whose device pixel ratio is above 1 the larger drawing is shown, marked with ratio 2,
// so it takes the plain picture's place and size in the window's (logical) pixels.

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

namespace ui {

// The picture at `path` for a screen of `devicePixelRatio`: above 1 the "@2x" drawing when there
// is one, else the plain picture. Null when neither can be read.
QImage LoadPicture(const QString& path, qreal devicePixelRatio);

// The ratio the windows' pictures are chosen for: the highest of the screens'.
qreal ScreenPixelRatio();

// A mouse pointer from the picture at `path` (as LoadPicture), whose hot spot `hotSpot` is given
// in the plain picture's pixels; `fallback` when the picture cannot be read.
QCursor LoadCursor(const QString& path, QPoint hotSpot, qreal devicePixelRatio, Qt::CursorShape fallback);

}  // namespace ui
