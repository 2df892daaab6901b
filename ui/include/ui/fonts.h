#pragma once
// The product's fonts. Its windows name the Windows face "宋体" (SimSun); where that face is
// not installed, the Song/Ming face AR PL UMing (Debian's fonts-arphic-uming) stands in: its
// metrics are close, and its digits fit the playlist's 30-pixel time column. The choice is
// made here and nowhere else.

#include <QFont>
#include <QString>

namespace ui {

// The product's own face name.
inline const QString kSongFace = QStringLiteral("宋体");

// `face` at `pixelSize` pixels, with stand-ins behind it: the Song/Ming faces behind "宋体",
// a sans-serif CJK face behind any other.
QFont ProductFont(const QString& face, int pixelSize);

// The windows' default: "宋体" at 12 pixels (9 points at 96 dots per inch).
QFont ProductFont();

}  // namespace ui
