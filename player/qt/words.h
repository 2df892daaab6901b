#pragma once
// The player's message boxes: the words of every notice of its session. The words for every
// error kind are the shared window library's (ui/error_text.h).

#include "player/player_session.h"
#include "ui/message_box.h"

namespace player {

using ui::Icon;
using ui::Message;

// The box that shows `notice`.
Message MessageFor(const Notice& notice);

}  // namespace player
