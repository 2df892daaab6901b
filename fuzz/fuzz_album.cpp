// An album image of arbitrary bytes, read the way the player reads its own file: the reader
// must refuse or accept it without crashing, and what it accepts must unpack safely. The same
// bytes go through the packager's check that a song is MPEG audio.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "album/reader.h"
#include "album/song_check.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Songs go into `out`, inside a folder of our own that must stay otherwise empty.
  static const fs::path outer = [] {
    std::string pattern = (fs::temp_directory_path() / "fuzz-album-XXXXXX").string();
    return fs::path(::mkdtemp(pattern.data()));
  }();
  static const fs::path out = [] {
    fs::create_directory(outer / "out");
    return outer / "out";
  }();
  const auto bytes = std::as_bytes(std::span(data, size));
  const auto tag = static_cast<std::size_t>(std::min<std::int64_t>(album::Id3v2TagLength(bytes), size));
  // Three frame headers take twelve bytes at the very least.
  if (album::HasMpegAudioFrames(bytes.subspan(tag)) && size - tag < 12) std::abort();

  int fd = ::memfd_create("album.exe", MFD_CLOEXEC);
  if (fd < 0) return 0;
  for (std::size_t done = 0; done < size;) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  auto image = album::AlbumImage::ReadAlbumIndex("/proc/self/fd/" + std::to_string(fd));
  if (image) {
    (void)image.value().AlbumName();
    auto songs = album::ExtractSongs(image.value(), out);
    // Nothing may land outside the folder it was unpacked into.
    for (const auto& entry : fs::directory_iterator(outer))
      if (entry.path() != out) std::abort();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(out)) fs::remove_all(entry.path(), ec);
  }
  ::close(fd);
  return 0;
}
