#pragma once
// The player's own message boxes, and how it frames an error that has none. The words for
// every error kind are the shared window library's (ui/error_text.h).

#include <string>

#include "platform/result.h"
#include "ui/message_box.h"

namespace player {

using ui::Icon;
using ui::Message;

// Start-up could not go on: the album is not one, the private folder cannot be used, a
// second copy runs, or the audio library failed (these last two have boxes of their own).
Message StartupFailedMessage(const platform::Error& error);
// The audio library could not be written out (a full disk): start-up cannot go on. A library
// missing for any other reason is LibraryMissing's own box.
Message LibraryNotWrittenMessage(const platform::Error& error);
// The image carries no settings: loading goes on with an empty album.
Message LoadErrorMessage(const std::string& albumFolder);
// Error_: a library failure with its error code; the player goes on.
Message LibraryErrorMessage(const std::string& what, int code);
// A song could not be unpacked; it is left out of the playlist.
Message UnpackFailedMessage(const platform::Error& error);
// The export of a song could not be written.
Message ExportFailedMessage(const platform::Error& error);

}  // namespace player
