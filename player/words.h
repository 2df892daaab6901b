#pragma once
// Every text the player shows in a message box, and the one place where an error becomes
// words for the user (in the product's language; the audio library's own texts stay as the
// product has always shown them).

#include <filesystem>
#include <string>

#include "bass_loader.h"
#include "platform/result.h"

namespace player {

enum class Icon { Critical, Exclamation, Warning };

struct Message {
  std::string text;
  std::string title;
  Icon icon = Icon::Exclamation;
};

// A second copy of the same album is running.
Message AlreadyRunningMessage();
// The single-copy check or the private folder failed for another reason.
Message PrivateFolderMessage(const platform::Error& error);
// `album` is not an album image the player can read.
Message NotAnAlbumMessage(const std::filesystem::path& album, const platform::Error& error);
// The image carries no settings: loading goes on with an empty album.
Message LoadErrorMessage(const std::string& albumFolder);
// The audio library could not be loaded or opened.
Message LibraryMessage(const BassLoadResult& failed);
// Error_: a library failure with its error code; the player goes on.
Message LibraryErrorMessage(const std::string& what, int code);
// A song could not be unpacked; it is left out of the playlist.
Message UnpackFailedMessage(int slot, const std::string& title, const platform::Error& error);
// The export of a song could not be written.
Message ExportFailedMessage(const platform::Error& error);

// What went wrong, in words, without the file.
std::string Reason(const platform::Error& error);

}  // namespace player
