#pragma once
// The pictures stored with a window, as Windows draws them. The PNG drawings of assets/ travel
// in a program as RCDATA resources named after their files (upper case, "_" for every other
// character: "PLAYER_BACKGROUND_2X_PNG"); Windows' imaging component (WIC) decodes them, so the
// programs carry no decoder of their own.

#include <windows.h>

#include "platform/pixels.h"

namespace ui::win32 {

// The picture `name` ("player_background.png") drawn for `scale` device pixels per layout
// pixel: the @2x drawing at 2 when the program has it. Empty when it has neither.
// COM must be initialised on the calling thread.
platform::Pixels LoadPicture(const char* name, int scale);

// The header of a 32-bit DIB holding `pixels`, top row first: its 0xAARRGGBB words are the
// DIB's blue, green, red and unused bytes.
BITMAPINFO DibInfo(const platform::Pixels& pixels);

// A bitmap GDI can select and copy from, holding `pixels` (alpha kept, not premultiplied).
// The caller deletes it with DeleteObject; null for an empty picture.
HBITMAP ToBitmap(const platform::Pixels& pixels);

// The pointer drawn as `name` with its hot spot at (x, y) in layout pixels, or null. The
// caller destroys it with DestroyIcon.
HCURSOR LoadPointer(const char* name, int scale, int x, int y);

}  // namespace ui::win32
