// What reaches the output device, captured by the test output (support/test_output.h): the
// sound itself, its pitch and speed after resampling, and how position and GetData follow it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio_reference.h"
#include "bass/bass.h"
#include "support/test_output.h"

using audio_test::TestFile;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

class AudioPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (c == '/') c = '_';
    capture_ =
        fs::temp_directory_path() / ("sonvira_capture_" + std::to_string(getpid()) + "_" + name + ".raw");
    testing_support::CaptureOutputTo(capture_);
  }
  void TearDown() override {
    BASS_Free();
    fs::remove(capture_);
  }

  void Init(DWORD rate) { ASSERT_TRUE(BASS_Init(-1, rate, 0, nullptr, nullptr)) << BASS_ErrorGetCode(); }

  // Frees the device (which closes the capture) and returns what was played.
  std::vector<std::int16_t> Captured() {
    BASS_Free();
    return audio_test::ReadCapture(capture_);
  }

  // Waits until the position reaches the length; returns the positions seen on the way.
  static std::vector<QWORD> PlayToEnd(HSTREAM stream) {
    std::vector<QWORD> seen;
    const QWORD length = BASS_ChannelGetLength(stream);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
      seen.push_back(BASS_ChannelGetPosition(stream));
      if (seen.back() == length) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return seen;
  }

  fs::path capture_;
};

TEST_F(AudioPlayback, AStreamPlayedToItsEndReachesTheDeviceSampleForSampleAndEndsAtItsLength) {
  Init(44100);
  audio_test::Pcm reference = audio_test::DecodeWithMpg123(TestFile("stereo_44k_cbr.mp3"));
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("stereo_44k_cbr.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  const QWORD length = BASS_ChannelGetLength(stream);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));

  std::vector<QWORD> seen = PlayToEnd(stream);
  ASSERT_EQ(seen.back(), length) << "the end was never reached";
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_GE(seen[i], seen[i - 1]);
  EXPECT_GT(seen.size(), 20u) << "the position should move in small steps over the second";
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(BASS_ChannelGetPosition(stream), length) << "the end position must stay";
  std::int32_t data[1025];
  EXPECT_EQ(BASS_ChannelGetData(stream, data, 1024), ~DWORD{0}) << "an ended stream plays nothing";

  // The device got silence, then exactly the decoded samples, then silence.
  std::vector<std::int16_t> captured = Captured();
  const auto& want = reference.samples;
  std::size_t lead = 0;
  while (lead < want.size() && want[lead] == 0) ++lead;
  std::size_t start = 0;
  while (start < captured.size() && captured[start] == 0) ++start;
  ASSERT_GE(start, lead);
  start -= lead;
  ASSERT_LE(start + want.size(), captured.size());
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < want.size(); ++i) mismatches += captured[start + i] != want[i];
  EXPECT_EQ(mismatches, 0u);
  for (std::size_t i = start + want.size(); i < captured.size(); ++i) ASSERT_EQ(captured[i], 0) << i;
}

struct ResampleCase {
  const char* file;
  DWORD deviceRate;
  double left;
  double right;
};

class AudioResampling : public AudioPlayback, public ::testing::WithParamInterface<ResampleCase> {};

TEST_P(AudioResampling, StreamsKeepTheirPitchAndSpeedOnADeviceOfAnotherRate) {
  const ResampleCase& c = GetParam();
  Init(c.deviceRate);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile(c.file).c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  DWORD rate = 0;
  BASS_ChannelGetAttributes(stream, &rate, nullptr, nullptr);
  const double seconds = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream));
  audio_test::Pcm reference = audio_test::DecodeWithMpg123(TestFile(c.file));
  auto [refFirst, refLast] = audio_test::LoudSpan(reference.samples, reference.channels, 2000);
  const double loudSeconds = static_cast<double>(refLast - refFirst) / rate;

  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_EQ(PlayToEnd(stream).back(), BASS_ChannelGetLength(stream));
  std::vector<std::int16_t> captured = Captured();
  auto [first, last] = audio_test::LoudSpan(captured, 2, 2000);
  ASSERT_LT(first, last);
  EXPECT_NEAR(static_cast<double>(last - first) / c.deviceRate, loudSeconds, 0.01) << "speed";
  EXPECT_NEAR(audio_test::ToneFrequency(captured, 2, 0, first, last, c.deviceRate), c.left, c.left * 0.005);
  EXPECT_NEAR(audio_test::ToneFrequency(captured, 2, 1, first, last, c.deviceRate), c.right, c.right * 0.005);
  EXPECT_GT(seconds, 0.99);
}

INSTANTIATE_TEST_SUITE_P(Rates, AudioResampling,
                         ::testing::Values(ResampleCase{"mono_22k_cbr.mp3", 44100, 1000, 1000},
                                           ResampleCase{"mono_32k_cbr.mp3", 44100, 800, 800},
                                           ResampleCase{"stereo_48k_vbr.mp3", 44100, 500, 750},
                                           ResampleCase{"stereo_44k_cbr.mp3", 48000, 440, 660},
                                           ResampleCase{"stereo_44k_vbr_noheader.mp3", 22050, 440, 660}));

// Two files of different rates joined into one: the part at the other rate keeps its pitch
// and speed. (The first has no info frame, whose frame count would end the stream early.)
TEST_F(AudioPlayback, AFileJoinedFromTwoRatesPlaysBothPartsAtTheirOwnPitch) {
  Init(44100);
  const fs::path joined = capture_.string() + ".mp3";
  {
    std::ofstream out(joined, std::ios::binary);
    out << std::ifstream(TestFile("stereo_44k_vbr_noheader.mp3"), std::ios::binary).rdbuf()
        << std::ifstream(TestFile("stereo_48k_vbr.mp3"), std::ios::binary).rdbuf();
  }
  HSTREAM stream = BASS_StreamCreateFile(FALSE, joined.string().c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_EQ(PlayToEnd(stream).back(), BASS_ChannelGetLength(stream));
  fs::remove(joined);
  std::vector<std::int16_t> captured = Captured();
  auto [first, last] = audio_test::LoudSpan(captured, 2, 2000);
  ASSERT_LT(first + 2 * 44100, last);
  // A part played at the wrong rate would be off in pitch by 48000 / 44100.
  EXPECT_NEAR(audio_test::ToneFrequency(captured, 2, 0, first + 2000, first + 40000, 44100), 440, 2.5);
  EXPECT_NEAR(audio_test::ToneFrequency(captured, 2, 1, last - 40000, last - 2000, 44100), 750, 4);
}

TEST_F(AudioPlayback, ThePositionFollowsTheClockWhilePlaying) {
  Init(44100);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("stereo_44k_cbr.mp3").c_str(), 0, 0, 0);
  const auto started = Clock::now();
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  double lead = 0;  // how long the first sound took to be heard
  for (int i = 0; i < 8; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(90));
    double heard = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream));
    double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
#ifdef _WIN32
    // Under wine, where the machine may be emulated and shared, the start may take longer: from
    // the first sound heard on, the position follows the clock.
    if (i == 0) lead = elapsed - heard;
#endif
    EXPECT_NEAR(heard, elapsed - lead, 0.08) << "after " << elapsed << " s";
  }
}

TEST_F(AudioPlayback, GetDataReturnsTheSamplesBeingHeardNow) {
  Init(44100);
  audio_test::Pcm reference = audio_test::DecodeWithMpg123(TestFile("stereo_44k_cbr.mp3"));
  const auto* ref = reinterpret_cast<const std::uint8_t*>(reference.samples.data());
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("stereo_44k_cbr.mp3").c_str(), 0, 0, 0);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    std::int32_t buffer[1025] = {};
    QWORD before = BASS_ChannelGetPosition(stream);
    DWORD got = BASS_ChannelGetData(stream, buffer, 1024);
    QWORD after = BASS_ChannelGetPosition(stream);
    ASSERT_EQ(got, 1024u);
    EXPECT_EQ(buffer[256], 0) << "nothing is written past the bytes asked for";
    bool found = false;
    for (QWORD at = before; at <= after && !found; at += 4) found = std::memcmp(ref + at, buffer, got) == 0;
    EXPECT_TRUE(found) << "data does not start between positions " << before << " and " << after;
  }
}

TEST_F(AudioPlayback, GetDataOfAMonoStreamGivesTheOddByteCountAsked) {
  Init(44100);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("mono_22k_cbr.mp3").c_str(), 0, 0, 0);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  std::int32_t buffer[1025] = {};
  EXPECT_EQ(BASS_ChannelGetData(stream, buffer, 511), 511u);
  EXPECT_NE(buffer[10], 0) << "a loud tone is playing";
  EXPECT_EQ(buffer[128], 0);
}

TEST_F(AudioPlayback, AStreamStoppedAndPlayedAgainGoesOnFromWhereItWasHeard) {
  Init(44100);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("stereo_48k_vbr.mp3").c_str(), 0, 0, 0);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_TRUE(BASS_ChannelStop(stream));
  const QWORD stopped = BASS_ChannelGetPosition(stream);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  const auto resumed = Clock::now();
  std::vector<QWORD> seen = PlayToEnd(stream);
  ASSERT_EQ(seen.back(), BASS_ChannelGetLength(stream));
  EXPECT_GE(seen.front(), stopped);
  double rest = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream) - stopped);
  EXPECT_NEAR(std::chrono::duration<double>(Clock::now() - resumed).count(), rest, 0.1);
}

#ifdef _WIN32
// The waveOut device unplugged while a song plays: the library opens the device again and
// the song goes on from the sound heard last, at its pitch, to its end.
TEST_F(AudioPlayback, ASongGoesOnThroughAnotherDeviceWhenItsDeviceIsLost) {
  Init(44100);
  HSTREAM stream = BASS_StreamCreateFile(FALSE, TestFile("stereo_44k_cbr.mp3").c_str(), 0, 0, 0);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  testing_support::LoseOutputDevice();
  ASSERT_EQ(PlayToEnd(stream).back(), BASS_ChannelGetLength(stream));
  std::vector<std::int16_t> captured = Captured();
  auto [first, last] = audio_test::LoudSpan(captured, 2, 2000);
  ASSERT_LT(first, last);
  EXPECT_NEAR(static_cast<double>(last - first) / 44100, 1.0, 0.1) << "none lost, little heard twice";
  EXPECT_NEAR(audio_test::ToneFrequency(captured, 2, 0, first, last, 44100), 440, 440 * 0.005);
}
#endif

}  // namespace
