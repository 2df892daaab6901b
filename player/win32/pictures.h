#pragma once
// The player window's pictures: the windows' shared loader (ui/win32/pictures.h).

#include "ui/win32/pictures.h"

namespace player::win32 {

using ui::win32::LoadPicture;
using ui::win32::LoadPointer;
using ui::win32::ToBitmap;

}  // namespace player::win32
