#include "player/player_skin.h"

#include <utility>

namespace player {

void SetupPlaylistSkin(playlist::stdSS& c) {
  c.GUI_SSOzadjerina = 13;
  c.GUI_SSOzadjeVina = 40;
  c.GUI_SSOzadjeX = 26;
  c.GUI_SSOzadjeY = 0;
  c.GUI_SSOzadjeXD = 26;
  c.GUI_SSOzadjeYD = 0;
  c.GUI_SSDrsnikOzadjerina = 13;
  c.GUI_SSDrsnikOzadjeVina = 40;
  c.GUI_SSDrsnikOzadjeX = 65;
  c.GUI_SSDrsnikOzadjeY = 0;
  c.GUI_SSDrsnikOzadjeXD = 78;
  c.GUI_SSDrsnikOzadjeYD = 0;
  c.GUI_SSDrsnikGorrina = 13;
  c.GUI_SSDrsnikGorVina = 21;
  c.GUI_SSDrsnikGorX = 39;
  c.GUI_SSDrsnikGorY = 0;
  c.GUI_SSDrsnikGorXD = 52;
  c.GUI_SSDrsnikGorYD = 0;
  c.GUI_SSDrsnikDolrina = 13;
  c.GUI_SSDrsnikDolVina = 20;
  c.GUI_SSDrsnikDolX = 39;
  c.GUI_SSDrsnikDolY = 21;
  c.GUI_SSDrsnikDolXD = 52;
  c.GUI_SSDrsnikDolYD = 21;
  c.GUI_SSGorrina = 13;
  c.GUI_SSGorVina = 17;
  c.GUI_SSGorX = 0;
  c.GUI_SSGorY = 0;
  c.GUI_SSGorXD = 13;
  c.GUI_SSGorYD = 0;
  c.GUI_SSDolrina = 13;
  c.GUI_SSDolVina = 17;
  c.GUI_SSDolX = 0;
  c.GUI_SSDolY = 17;
  c.GUI_SSDolXD = 13;
  c.GUI_SSDolYD = 17;
  c.GUI_SSDrsnikMiniVina = 41;
  c.GUI_SSDrsnikScale = false;
  c.GUI_SSVednoKa = true;
}

void DressPlaylist(playlist::stdSS& c, platform::Pixels picture) {
  c.PictureData = std::move(picture);
  SetupPlaylistSkin(c);
  c.AlwaysShowScroller(true);
  c.GUI();
  c.SetScroller(c.GUI_SSOzadjerina, true, true, true, c.GUI_SSGorrina, c.GUI_SSGorVina, c.GUI_SSDolrina,
                c.GUI_SSDolVina, c.GUI_SSDrsnikMiniVina);
  c.AlwaysShowScroller(false);
}

}  // namespace player
