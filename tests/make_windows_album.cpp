// make_windows_album PLAYER FOLDER NAME SONG...: writes the album image FOLDER\NAME.exe with
// PLAYER (build-win's sonvira.exe) as its player and the songs in slots 1, 2, ..., through the
// album writer the packager uses. For the Windows player's desktop test, which cannot reach
// this writer from the host.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>

#include "album/writer.h"
#include "platform/file.h"
#include "platform/path_text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || argc > 14) {
    std::fprintf(stderr, "usage: make_windows_album PLAYER FOLDER NAME SONG...\n");
    return 2;
  }
  auto player = platform::ReadWholeFile(argv[1], std::size_t{1} << 30);
  if (!player) return 1;
  album::BuildRequest request;
  request.player = std::as_bytes(std::span(player.value()));
  request.outputFolder = argv[2];
  request.albumName = platform::PathToUtf8(argv[3]);
  request.description = "Windows";
  for (int i = 4; i < argc; ++i) request.songSlots[i - 4].song = argv[i];
  auto built = album::BuildAlbumImage(request);
  if (!built) {
    std::fprintf(stderr, "make_windows_album: %s\n", platform::DescribeError(built.error()).c_str());
    return 1;
  }
  return 0;
}
