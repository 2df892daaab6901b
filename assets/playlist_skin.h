#pragma once
// The playlist's skin picture (91 x 41 pixels, 24-bit): scroller buttons, track and thumb pieces at
// the places the player's skin values name. The same drawing serves every colour scheme.
#include <QColor>
#include <QImage>

namespace assets {

// Colours of one scheme; pairs are indexed by "pressed" (0 normal, 1 pressed).
struct PlaylistSkinColours {
  QColor track, trackEdge, trackGroove, outline;
  QColor thumbLight[2], thumbDark[2], thumbShine[2];
  QColor grip[2], gripLight[2];
  QColor buttonTop[2], buttonBottom[2], arrow[2];
};

// Drawn at `scale` times its size (see drawers.h).
QImage DrawPlaylistSkin(int scale, const PlaylistSkinColours& colours);

}  // namespace assets
