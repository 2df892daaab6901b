#pragma once
// The pictures of the programs are drawn by code, so that every pixel is our own and can be
// drawn again. Each picture registers its drawer from its own source file:
//
//   static const bool registered = assets::RegisterDrawer("banner.png", &DrawBanner);
//
// `draw_assets <folder>` writes every registered picture into <folder> (the committed
// copies live in assets/).

#include <QImage>

namespace assets {

using DrawFn = QImage (*)();

bool RegisterDrawer(const char* fileName, DrawFn draw);

}  // namespace assets
