#pragma once
// The player's message boxes: the words of every notice of its session, as UTF-8. The words
// for every error kind are the windows' shared ones (words/error_text.h).

#include <string_view>

#include "player/player_session.h"
#include "words/error_text.h"

namespace player {

// The box that shows `notice`; `program` is the player's name ("Sonvira"), which a second
// copy's refusal names.
words::Box BoxFor(const Notice& notice, std::string_view program);

}  // namespace player
