#include "player_test_support.h"

#include <algorithm>
#include <fstream>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace player_test {
namespace {

FakeBass& F() {
  return FakeBass::The();
}

bool Known(DWORD h) {
  if (h != 0 && F().streams.contains(h)) return true;
  F().error = BASS_ERROR_HANDLE;
  return false;
}

}  // namespace

player::BassApi FakeTable() {
  player::BassApi t;
  t.BASS_GetVersion = []() BASS_CALL { return DWORD{BASS_VERSION_2_2}; };
  t.BASS_Init = [](int, DWORD, DWORD, void*, const void*) BASS_CALL -> BOOL { return !F().initFails; };
  t.BASS_ErrorGetCode = []() BASS_CALL { return F().error; };
  t.BASS_ChannelStop = [](DWORD h) BASS_CALL -> BOOL {
    if (!Known(h)) return FALSE;
    F().streams[h].playing = false;
    return TRUE;
  };
  t.BASS_StreamCreateFile = [](BOOL, const void* file, DWORD, DWORD, DWORD) BASS_CALL -> HSTREAM {
    std::string text = testing_support::ReadFile(platform::PathFromUtf8(static_cast<const char*>(file)));
    if (text.empty() || text.starts_with("broken")) {
      F().error = BASS_ERROR_FILEFORM;
      return 0;
    }
    F().streams[++F().lastHandle] = FakeStream{static_cast<const char*>(file)};
    return F().lastHandle;
  };
  t.BASS_ChannelPlay = [](DWORD h, BOOL) BASS_CALL -> BOOL {
    if (!Known(h)) return FALSE;
    if (testing_support::ReadFile(platform::PathFromUtf8(F().streams[h].file)).starts_with("mute")) {
      F().error = BASS_ERROR_START;
      return FALSE;
    }
    F().streams[h].playing = true;
    return TRUE;
  };
  t.BASS_ChannelGetPosition = [](DWORD h) BASS_CALL -> QWORD {
    return Known(h) ? F().streams[h].position : BASS_FAILED_QWORD;
  };
  t.BASS_ChannelGetLength = [](DWORD h) BASS_CALL -> QWORD {
    return Known(h) ? F().streams[h].length : BASS_FAILED_QWORD;
  };
  t.BASS_ChannelBytes2Seconds = [](DWORD h, QWORD bytes) BASS_CALL -> float {
    return Known(h) ? static_cast<float>(bytes) / kBytesPerSecond : -1.0f;
  };
  t.BASS_ChannelGetAttributes = [](DWORD h, DWORD* freq, DWORD*, int*) BASS_CALL -> BOOL {
    if (!Known(h)) return FALSE;
    *freq = F().frequency;
    return TRUE;
  };
  t.BASS_ChannelGetInfo = [](DWORD h, BASS_CHANNELINFO* info) BASS_CALL -> BOOL {
    if (!Known(h)) return FALSE;
    *info = BASS_CHANNELINFO{F().frequency, 2, 0, BASS_CTYPE_STREAM_MP3, 0};
    return TRUE;
  };
  t.BASS_ChannelGetData = [](DWORD h, void* buffer, DWORD bytes) BASS_CALL -> DWORD {
    ++F().dataRequests;
    if (!Known(h) || F().sample == 0) return BASS_FAILED_DWORD;
    std::fill_n(static_cast<std::int32_t*>(buffer), bytes / 4, F().sample);
    return bytes;
  };
  t.BASS_GetCPU = []() BASS_CALL { return F().cpu; };
  t.BASS_GetInfo = [](BASS_INFO*) BASS_CALL -> BOOL { return TRUE; };
  t.BASS_Free = []() BASS_CALL { return BOOL{TRUE}; };
  t.BASS_StreamFree = [](HSTREAM h) BASS_CALL -> BOOL { return Known(h) && F().streams.erase(h) == 1; };
  return t;
}

platform::Status FakeLibrary::WriteWhenMissing(const fs::path& folder) {
  if (writeFails) return *writeFails;
  testing_support::WriteFile(folder / player::kBassFileName, "library");
  return {};
}

player::AudioLibrary::Opened FakeLibrary::Load(const fs::path&) {
  if (F().initFails)
    return {nullptr, platform::Error(platform::ErrorKind::SoundInitFailed, "bass.dll", 0, 3)};
  return {&table, {}};
}

std::string LyricsBytes(int slot) {
  return platform::ToAnsi("[00:01.00]歌词" + std::to_string(slot) + "\r\n").value_or("");
}

fs::path MakeAlbum(const fs::path& folder, const std::map<int, std::string>& songs,
                   const std::vector<int>& lyricsSlots) {
  static const std::string player = testing_support::Pattern(3000, 7);
  album::BuildRequest request;
  request.player = platform::AsBytes(player);
  request.albumName = "专辑";
  request.description = "测试";
  request.outputFolder = folder;
  fs::path sources = folder / "sources";
  fs::create_directories(sources);
  for (const auto& [slot, text] : songs) {
    fs::path song = sources / platform::PathFromUtf8(Title(slot) + ".mp3");
    testing_support::WriteFile(song, text);
    request.songSlots[slot - 1].song = song;
  }
  for (int slot : lyricsSlots) {
    fs::path lyrics = sources / platform::PathFromUtf8(Title(slot) + ".lrc");
    testing_support::WriteFile(lyrics, LyricsBytes(slot));
    request.songSlots[slot - 1].lyrics = lyrics;
  }
  auto built = album::BuildAlbumImage(request);
  fs::remove_all(sources);
  return built ? built.value().image : fs::path();
}

}  // namespace player_test
