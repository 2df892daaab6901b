// bass.dll as the player meets it: loaded at run time, its operations bound by their plain names
// and called as stdcall, playing through waveOut (under wine: its PulseAudio driver, on the null
// sink of scripts/headless.sh, whose monitor support/record_sink.sh records). Lengths are compared with what the mpg123 program of the Linux
// build decodes (mpg123_reference.txt, written when the build is configured).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio_reference.h"
#include "bass/bass.h"

namespace {

// The operation `name` of the DLL, typed as bass.h declares it (Declared is its pointer type).
template <class Declared>
Declared Bound(const char* name) {
  static const HMODULE module = ::LoadLibraryW(BASS_DLL_PATH);
  const auto function = reinterpret_cast<Declared>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  if (function == nullptr) ADD_FAILURE() << name << " not found; LoadLibraryW: " << (module != nullptr);
  return function;
}
#define BASS_BOUND(name) const decltype(&::BASS_##name) name = Bound<decltype(&::BASS_##name)>("BASS_" #name)

struct Bass {
  BASS_BOUND(GetVersion);
  BASS_BOUND(Init);
  BASS_BOUND(ErrorGetCode);
  BASS_BOUND(Free);
  BASS_BOUND(GetCPU);
  BASS_BOUND(GetInfo);
  BASS_BOUND(StreamCreateFile);
  BASS_BOUND(ChannelPlay);
  BASS_BOUND(ChannelStop);
  BASS_BOUND(ChannelGetPosition);
  BASS_BOUND(ChannelGetLength);
};

// The longest span of frames within [first, last) of a stereo recording without a hole: 32
// frames in a row near silence on both channels, which a tone never has.
std::pair<std::size_t, std::size_t> LongestStretchWithoutHoles(const std::vector<std::int16_t>& samples,
                                                               std::size_t first, std::size_t last) {
  std::pair<std::size_t, std::size_t> longest{first, first};
  std::size_t start = first, quiet = 0;
  for (std::size_t f = first; f < last; ++f) {
    const bool silent = std::abs(samples[2 * f]) < 100 && std::abs(samples[2 * f + 1]) < 100;
    quiet = silent ? quiet + 1 : 0;
    if (quiet == 32) {
      if (f + 1 - 32 - start > longest.second - longest.first) longest = {start, f + 1 - 32};
    }
    if (quiet >= 32) start = f + 1;
  }
  if (last - start > longest.second - longest.first) longest = {start, last};
  return longest;
}

std::string TestFile(const std::string& name) { return SONVIRA_SOURCE_DIR "/tests/data/audio/" + name; }

TEST(BassDll, LoadsAndReportsVersionTwoPointTwoWithoutInit) {
  const Bass bass;
  ASSERT_NE(bass.GetVersion, nullptr);
  EXPECT_EQ(bass.GetVersion(), 0x00020002u);
}

class BassDllOnWaveOut : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(bass.ChannelGetLength, nullptr);
    ASSERT_TRUE(bass.Init(-1, 44100, 0, nullptr, nullptr))
        << "no waveOut device (error " << bass.ErrorGetCode() << "): run under scripts/headless.sh";
  }
  void TearDown() override { bass.Free(); }

  HSTREAM Open(const std::string& name) { return bass.StreamCreateFile(FALSE, TestFile(name).c_str(), 0, 0, 0); }

  // Waits for the position to reach `bytes`, for as long as a busy emulated machine may take.
  QWORD PositionOnceAtLeast(HSTREAM stream, QWORD bytes) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    QWORD position = bass.ChannelGetPosition(stream);
    for (; position < bytes && std::chrono::steady_clock::now() < until; position = bass.ChannelGetPosition(stream))
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return position;
  }

  const Bass bass;
};

TEST_F(BassDllOnWaveOut, GivesTheLengthsOfMpg123OnLinuxAndItsErrorCodes) {
  std::ifstream reference(SONVIRA_BINARY_DIR "/tests/mpg123_reference.txt");
  std::string song;
  QWORD bytes = 0;
  int songs = 0;
  for (; reference >> song >> bytes; ++songs) {
    const HSTREAM stream = Open(song);
    ASSERT_NE(stream, 0u) << song << ": error " << bass.ErrorGetCode();
    EXPECT_EQ(bass.ChannelGetLength(stream), bytes) << song;
  }
  EXPECT_EQ(songs, 3);

  EXPECT_EQ(Open("no_such_song.mp3"), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(bass.StreamCreateFile(FALSE, SONVIRA_SOURCE_DIR "/tests/data/audio", 0, 0, 0), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEOPEN) << "a folder";
  EXPECT_EQ(Open("not_mp3.mp3"), 0u);
  EXPECT_EQ(bass.ErrorGetCode(), BASS_ERROR_FILEFORM);
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
  // Junk, then the song ending right at a page nobody may read: a read past the block faults.
  const DWORD lead = 3000, block = lead + static_cast<DWORD>(song.size()), page = 65536;
  auto* memory = static_cast<char*>(::VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  ASSERT_TRUE(memory != nullptr && ::VirtualProtect(memory + page, page, PAGE_NOACCESS, &old));
  char* start = memory + page - block;
  std::fill_n(start, lead, '\x5a');
  std::copy(song.begin(), song.end(), start + lead);

  const HSTREAM stream = bass.StreamCreateFile(TRUE, start, lead, block, 0);
  ASSERT_NE(stream, 0u) << bass.ErrorGetCode();
  EXPECT_EQ(bass.ChannelGetLength(stream), 44100u * 4u);
  ASSERT_TRUE(bass.ChannelPlay(stream, FALSE));
  EXPECT_EQ(PositionOnceAtLeast(stream, 44100u * 4u), 44100u * 4u) << "played to its end";
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
  EXPECT_GT(PositionOnceAtLeast(stream, 1), 0u) << "the device plays";
  EXPECT_EQ(PositionOnceAtLeast(stream, length), length);
  EXPECT_GT(bass.GetCPU(), 0.0f);
  BASS_INFO info{};
  ASSERT_TRUE(bass.GetInfo(&info));
  EXPECT_STREQ(info.driver, "waveout");

  // What the sound server's sink heard (support/record_sink.sh records its monitor): the song's
  // two tones at their pitch, once the recording runs on past the song's end.
  const char* recording = std::getenv("SINK_RECORDING");
  ASSERT_NE(recording, nullptr) << "run through tests/support/record_sink.sh";
  std::vector<std::int16_t> heard;
  std::pair<std::size_t, std::size_t> loud;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    heard = audio_test::ReadCapture(recording);
    loud = audio_test::LoudSpan(heard, 2, 2000);
  } while ((loud.first >= loud.second || heard.size() / 2 < loud.second + 44100 / 5) &&
           std::chrono::steady_clock::now() < until);
  ASSERT_LT(loud.first + 44100 / 2, loud.second) << "the sink heard less than half a second of tone";
  // The recording holds all the program played (the song in memory before), with silence
  // between, and where the machine is emulated the device may run dry now and then: the pitch
  // is that of the longest stretch without a hole.
  auto [first, last] = LongestStretchWithoutHoles(heard, loud.first, loud.second);
  std::printf("the sink heard %.2f s of tone, the longest stretch without a hole %.2f s\n",
              (loud.second - loud.first) / 44100.0, (last - first) / 44100.0);
  ASSERT_GT(last - first, 44100u / 10) << "no tenth of a second without a hole";
  EXPECT_NEAR(audio_test::ToneFrequency(heard, 2, 0, first, last, 44100), 440, 440 * 0.005);
  EXPECT_NEAR(audio_test::ToneFrequency(heard, 2, 1, first, last, 44100), 660, 660 * 0.005);
}

}  // namespace
