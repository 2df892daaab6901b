// The window module's one export: the program that carries the module calls it once the first
// song plays.
#include "player_app.h"

extern "C" __attribute__((visibility("default"))) int sonvira_window_main(player::WindowStart* start) {
  return player::RunWindow(*start);
}
