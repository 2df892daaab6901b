#pragma once
// How the album player dresses its playlist: the skin geometry inside its 91 x 41 skin picture
// and the start-up calls that turn the picture into the scroller.

#include "platform/pixels.h"
#include "playlist/stdss.h"

namespace player {

// Assigns the player's skin values to the GUI_SS* fields, in the player's order.
void SetupPlaylistSkin(playlist::stdSS& control);

// The whole start-up dressing: picture, skin values, AlwaysShowScroller(true), GUI,
// SetScroller with the values read back from the control, AlwaysShowScroller(false).
void DressPlaylist(playlist::stdSS& control, platform::Pixels picture);

}  // namespace player
