#pragma once
// The pictures stored with the player window, as Windows draws them. The PNG drawings of
// assets/ travel in the program as RCDATA resources named after their files; Windows' imaging
// component (WIC) decodes them, so the program carries no decoder of its own.

#include <windows.h>

#include "platform/pixels.h"

namespace player::win32 {

// The picture `name` ("player_background.png") drawn for `scale` device pixels per layout
// pixel: the @2x drawing at 2 when the program has it. Empty when it has neither.
// COM must be initialised on the calling thread.
platform::Pixels LoadPicture(const char* name, int scale);

// A bitmap GDI can select and copy from, holding `pixels` (alpha kept, not premultiplied).
// The caller deletes it with DeleteObject; null for an empty picture.
HBITMAP ToBitmap(const platform::Pixels& pixels);

// The pointer drawn as `name` with its hot spot at (x, y) in layout pixels, or null. The
// caller destroys it with DestroyIcon.
HCURSOR LoadPointer(const char* name, int scale, int x, int y);

}  // namespace player::win32
