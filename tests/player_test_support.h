#pragma once
// For the player's tests: a fake audio library table whose songs are small text files
// ("tone", "broken" cannot be opened, "mute" cannot be started), a fake carried library, and
// albums built by the packager's own writer.

#include <map>
#include <string>
#include <vector>

#include "album/writer.h"
#include "player/player_session.h"
#include "playlist/text_measure.h"
#include "support/temp_dir.h"

namespace player_test {

// Text widths for the playlist, without fonts: every byte one pixel.
class ByteWidths final : public playlist::TextMeasure {
 public:
  int Width(const playlist::FontLook&, std::string_view utf8) const override {
    return static_cast<int>(utf8.size());
  }
  std::string DefaultFontName() const override { return "Fixed"; }
};

// One second of 16-bit stereo at 44,100 Hz.
inline constexpr QWORD kBytesPerSecond = 176400;

struct FakeStream {
  std::string file;
  QWORD length = 10 * kBytesPerSecond;
  QWORD position = 0;
  bool playing = false;
};

struct FakeBass {
  std::map<DWORD, FakeStream> streams;
  DWORD lastHandle = 0;
  int error = 0;
  DWORD frequency = 44100;
  float cpu = 1.5f;
  bool initFails = false;
  std::int32_t sample = 0;  // every word of the sample data; 0: the request fails
  int dataRequests = 0;

  static FakeBass& The() {
    static FakeBass fake;
    return fake;
  }
  FakeStream* Current() { return streams.empty() ? nullptr : &streams[lastHandle]; }
  std::string PlayingFile() {
    for (auto& [h, s] : streams)
      if (s.playing) return std::filesystem::path(s.file).filename().string();
    return {};
  }
};

player::BassApi FakeTable();

class FakeLibrary : public player::AudioLibrary {
 public:
  platform::Status WriteWhenMissing(const std::filesystem::path& folder) override;
  Opened Load(const std::filesystem::path& folder) override;
  void Free() override { freed = true; }
  bool freed = false;
  std::optional<platform::Error> writeFails;  // what WriteWhenMissing returns instead of writing
  player::BassApi table = FakeTable();
};

// An album "专辑.exe" in `folder` with the given song texts per slot (empty: no song) and
// lyrics for the slots in `lyricsSlots`.
std::filesystem::path MakeAlbum(const std::filesystem::path& folder, const std::map<int, std::string>& songs,
                                const std::vector<int>& lyricsSlots = {});

// The lyrics file of `slot` as MakeAlbum writes it (code page 936): one line at 1 s, "歌词" + slot.
std::string LyricsBytes(int slot);

inline std::string Title(int slot) {
  return "歌" + std::to_string(slot);
}

}  // namespace player_test
