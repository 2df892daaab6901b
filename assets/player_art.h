#pragma once
// The player window's pictures, shared by their drawers and the preview that puts them together.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>

namespace assets::player_art {

// Where the window's controls sit, in pixels of the client area. The client area is one pixel
// narrower than the background, so the window's shape ends at column 252.
inline constexpr QSize kClient(253, 185);
inline constexpr QRect kBackground(0, 0, 254, 183);  // Image1
inline constexpr QRect kAlbumName(10, 8, 162, 12);   // Label2
inline constexpr QRect kMinimise(174, 6, 26, 19);    // Image10
inline constexpr QRect kClose(200, 6, 44, 19);       // Image7
inline constexpr QRect kNext(106, 120, 44, 53);      // Image2
inline constexpr QRect kPanel(14, 52, 232, 53);      // Picture2, shown clipped to kPanelShown
inline constexpr QRect kPanelShown(14, 52, 225, 49);
inline constexpr QRect kBars(58, 54, 141, 45);  // PicSpectrum1
inline constexpr QSize kBarsPicture(164, 50);
inline constexpr QRect kSongTitle(14, 104, 225, 13);
inline constexpr int kSongButtonTop = 142;
inline constexpr int kSongButtonLeft[] = {16, 34, 54, 72, 90, 152, 168, 184, 200, 220};

// Pixels of exactly this colour in the background are see-through.
inline const QColor kSeeThrough(255, 0, 255);
inline const QColor kBarColour(155, 251, 251);

// The theme: a graphite body with a dark glass face for the lyric, times and bars, and two pearl
// labels for the album name and the song title, whose text colours are dark.
inline const QColor kEdge(8, 10, 15);
inline const QColor kGlassBottom(8, 12, 20);
inline const QColor kAccent(110, 220, 236);

// The next button's socket in the background; the song buttons "5" and "6" sit close to either side.
inline constexpr QPointF kSocketCentre = QRectF(kNext).center();
inline constexpr qreal kSocketRadius = 24;

enum class PictureButton { kNext, kClose, kMinimise };

// Each picture is drawn at `scale` times its size (see drawers.h).
// The background, RGB, with kSeeThrough outside the window's shape and no other pixel of that colour.
// The window's shape is that of the plain picture at every scale: the window system keys out
// whole plain pixels, so a larger drawing is see-through exactly in the blocks of the plain one.
const QImage& Background(int scale = 1);
QImage Panel(int scale = 1);
QImage BarBox(int scale = 1);
// The button's picture for its place in the window (opaque, its corners matching the background).
QImage ButtonPicture(PictureButton button, bool hover, int scale = 1);

}  // namespace assets::player_art
