#pragma once
// The player's message boxes as Qt shows them: the words of player/words.h, with the
// program's name as Qt knows it.

#include "player/player_session.h"
#include "player/words.h"
#include "ui/message_box.h"

namespace player {

using ui::Icon;
using ui::Message;

// The box that shows `notice`.
Message MessageFor(const Notice& notice);

}  // namespace player
