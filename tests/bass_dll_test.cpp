// bass.dll as the player meets it: loaded at run time, every operation bound by its plain name
// and called as stdcall, playing through waveOut (under wine: its PulseAudio driver, on the null
// sink of scripts/headless.sh). Lengths are compared with what the mpg123 program of the Linux
// build decodes (mpg123_reference.txt, written when the build is configured).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "bass/bass.h"

namespace {

struct Bass {
  HMODULE module = nullptr;
  decltype(&::BASS_GetVersion) GetVersion = nullptr;
  decltype(&::BASS_Init) Init = nullptr;
  decltype(&::BASS_ErrorGetCode) ErrorGetCode = nullptr;
  decltype(&::BASS_Free) Free = nullptr;
  decltype(&::BASS_GetCPU) GetCPU = nullptr;
  decltype(&::BASS_GetInfo) GetInfo = nullptr;
  decltype(&::BASS_StreamCreateFile) StreamCreateFile = nullptr;
  decltype(&::BASS_StreamFree) StreamFree = nullptr;
  decltype(&::BASS_ChannelPlay) ChannelPlay = nullptr;
  decltype(&::BASS_ChannelStop) ChannelStop = nullptr;
  decltype(&::BASS_ChannelGetPosition) ChannelGetPosition = nullptr;
  decltype(&::BASS_ChannelGetLength) ChannelGetLength = nullptr;
  decltype(&::BASS_ChannelBytes2Seconds) ChannelBytes2Seconds = nullptr;
  decltype(&::BASS_ChannelGetAttributes) ChannelGetAttributes = nullptr;
  decltype(&::BASS_ChannelGetInfo) ChannelGetInfo = nullptr;
  decltype(&::BASS_ChannelGetData) ChannelGetData = nullptr;
};

template <class Function>
void Bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  EXPECT_NE(function, nullptr) << name << " is not exported under its plain name";
}

// Loaded once for the whole program, as the player does.
const Bass& Library() {
  static const Bass bass = [] {
    Bass b;
    b.module = ::LoadLibraryW(BASS_DLL_PATH);
    if (b.module == nullptr) return b;
    Bind(b.module, "BASS_GetVersion", b.GetVersion);
    Bind(b.module, "BASS_Init", b.Init);
    Bind(b.module, "BASS_ErrorGetCode", b.ErrorGetCode);
    Bind(b.module, "BASS_Free", b.Free);
    Bind(b.module, "BASS_GetCPU", b.GetCPU);
    Bind(b.module, "BASS_GetInfo", b.GetInfo);
    Bind(b.module, "BASS_StreamCreateFile", b.StreamCreateFile);
    Bind(b.module, "BASS_StreamFree", b.StreamFree);
    Bind(b.module, "BASS_ChannelPlay", b.ChannelPlay);
    Bind(b.module, "BASS_ChannelStop", b.ChannelStop);
    Bind(b.module, "BASS_ChannelGetPosition", b.ChannelGetPosition);
    Bind(b.module, "BASS_ChannelGetLength", b.ChannelGetLength);
    Bind(b.module, "BASS_ChannelBytes2Seconds", b.ChannelBytes2Seconds);
    Bind(b.module, "BASS_ChannelGetAttributes", b.ChannelGetAttributes);
    Bind(b.module, "BASS_ChannelGetInfo", b.ChannelGetInfo);
    Bind(b.module, "BASS_ChannelGetData", b.ChannelGetData);
    return b;
  }();
  return bass;
}

std::string TestFile(const std::string& name) { return SONVIRA_SOURCE_DIR "/tests/data/audio/" + name; }

TEST(BassDll, LoadsAndReportsVersionTwoPointTwoWithoutInit) {
  const Bass& bass = Library();
  ASSERT_NE(bass.module, nullptr) << "LoadLibraryW failed: " << ::GetLastError();
  ASSERT_NE(bass.GetVersion, nullptr);
  EXPECT_EQ(bass.GetVersion(), 0x00020002u);
}

class BassDllOnWaveOut : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(bass.ChannelGetData, nullptr);
    ASSERT_TRUE(bass.Init(-1, 44100, 0, nullptr, nullptr))
        << "no waveOut device (error " << bass.ErrorGetCode() << "): run under scripts/headless.sh";
  }
  void TearDown() override { bass.Free(); }

  HSTREAM Open(const std::string& name) { return bass.StreamCreateFile(FALSE, TestFile(name).c_str(), 0, 0, 0); }

  // Waits (without a limit on how long the machine takes, short of the test's own timeout) for
  // the position to reach `bytes`, and returns where it stood then.
  QWORD PositionOnceAtLeast(HSTREAM stream, QWORD bytes, std::chrono::seconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    QWORD position = bass.ChannelGetPosition(stream);
    while (position < bytes && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      position = bass.ChannelGetPosition(stream);
    }
    return position;
  }

  const Bass& bass = Library();
};

TEST_F(BassDllOnWaveOut, TestSongsAreAsLongAsMpg123DecodesThemOnLinux) {
  std::ifstream reference(SONVIRA_BINARY_DIR "/tests/mpg123_reference.txt");
  ASSERT_TRUE(reference);
  std::string song;
  QWORD bytes = 0;
  int songs = 0;
  while (reference >> song >> bytes) {
    ++songs;
    const HSTREAM stream = Open(song);
    ASSERT_NE(stream, 0u) << song << ": error " << bass.ErrorGetCode();
    EXPECT_EQ(bass.ChannelGetLength(stream), bytes) << song;
  }
  EXPECT_EQ(songs, 3);
}

TEST_F(BassDllOnWaveOut, StreamCreationFailsWithTheCodesOfLinux) {
  EXPECT_EQ(Open("no_such_song.mp3"), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(bass.StreamCreateFile(FALSE, SONVIRA_SOURCE_DIR "/tests/data/audio", 0, 0, 0), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEOPEN) << "a folder";
  EXPECT_EQ(Open("not_mp3.mp3"), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEFORM);
  EXPECT_NE(Open("stereo_44k_cbr.mp3"), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_OK);
}

// An info frame claiming four billion frames, and frames of two rates (found by fuzzing).
TEST_F(BassDllOnWaveOut, ADamagedFileGetsTheLengthOfItsFramesAndPlays) {
  const HSTREAM stream = Open("huge_frame_count.mp3");
  ASSERT_NE(stream, 0u) << bass.ErrorGetCode();
  const QWORD length = bass.ChannelGetLength(stream);
  EXPECT_GT(length, 0u);
  EXPECT_LT(length, 44100u * 4u * 5u) << "1,833 bytes hold a few seconds at most";
  ASSERT_TRUE(bass.ChannelPlay(stream, FALSE));
  ASSERT_TRUE(bass.ChannelStop(stream));
  ASSERT_TRUE(bass.ChannelPlay(stream, FALSE));
  ASSERT_TRUE(bass.ChannelPlay(stream, TRUE));
  EXPECT_LE(bass.ChannelGetPosition(stream), length);
}

TEST_F(BassDllOnWaveOut, AStreamInMemoryReadsOnlyItsBlock) {
  std::ifstream in(TestFile("stereo_44k_cbr.mp3"), std::ios::binary);
  const std::string song((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(song.empty());
  // Junk, then the song ending right at a page nobody may read: a read past the block faults.
  const DWORD lead = 3000;
  const DWORD block = lead + static_cast<DWORD>(song.size());
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  const std::size_t pages = (block + system.dwPageSize - 1) / system.dwPageSize;
  auto* memory = static_cast<char*>(
      ::VirtualAlloc(nullptr, (pages + 1) * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(memory, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(::VirtualProtect(memory + pages * system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
  char* start = memory + pages * system.dwPageSize - block;
  std::fill_n(start, lead, '\x5a');
  std::copy(song.begin(), song.end(), start + lead);

  const HSTREAM stream = bass.StreamCreateFile(TRUE, start, lead, block, 0);
  ASSERT_NE(stream, 0u) << bass.ErrorGetCode();
  EXPECT_EQ(bass.ChannelGetLength(stream), 44100u * 4u);
  ASSERT_TRUE(bass.ChannelPlay(stream, FALSE));
  EXPECT_EQ(PositionOnceAtLeast(stream, 44100u * 4u, std::chrono::seconds(60)), 44100u * 4u)
      << "played to its end";
  EXPECT_EQ(bass.StreamCreateFile(TRUE, start, block + 1, block, 0), 0u) << "offset past the block";
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_ILLPARAM);
  bass.Free();  // before the block goes
  ::VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(BassDllOnWaveOut, PlayingThroughWaveOutMovesThePositionToTheLengthAndMetersTheLoad) {
  const HSTREAM stream = Open("stereo_44k_cbr.mp3");
  ASSERT_NE(stream, 0u) << bass.ErrorGetCode();
  const QWORD length = bass.ChannelGetLength(stream);
  ASSERT_TRUE(bass.ChannelPlay(stream, FALSE));
  const QWORD early = PositionOnceAtLeast(stream, 1, std::chrono::seconds(30));
  EXPECT_GT(early, 0u) << "the device plays";
  EXPECT_EQ(PositionOnceAtLeast(stream, length, std::chrono::seconds(60)), length);
  EXPECT_GT(bass.GetCPU(), 0.0f);
  BASS_INFO info{};
  ASSERT_TRUE(bass.GetInfo(&info));
  EXPECT_STREQ(info.driver, "waveout");
  EXPECT_GT(info.latency, 0u);
}

}  // namespace
