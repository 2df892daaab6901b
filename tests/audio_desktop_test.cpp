// Through a real sound server (./test.sh starts PulseAudio with a null sink): once the
// sound has started, the position follows the clock, the sound reaching the speaker one
// queued buffer after it was handed over, and the end comes after the song's length.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "audio_reference.h"
#include "bass/bass.h"

using Clock = std::chrono::steady_clock;

namespace {

TEST(AudioThroughSoundServer, ThePositionFollowsTheSoundAndEndsAtTheLengthOnTime) {
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << "no sound server: " << BASS_ErrorGetCode();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, audio_test::TestFile("stereo_44k_cbr.mp3").c_str(), 0, 0, 0);
  ASSERT_NE(stream, 0u);
  const QWORD length = BASS_ChannelGetLength(stream);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));

  // A freshly started server can take a while to ask for its first sound; until then
  // nothing is heard and the position rightly stays at the start.
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (BASS_ChannelGetPosition(stream) == 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const auto started = Clock::now();

  QWORD last = 0;
  double endedAfter = 0;
  while (Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    QWORD position = BASS_ChannelGetPosition(stream);
    double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_GE(position, last);
    last = position;
    if (position == length) {
      endedAfter = elapsed;
      break;
    }
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(stream, position), elapsed, 0.06);
  }
  EXPECT_EQ(last, length);
  EXPECT_NEAR(endedAfter, 1.0, 0.06);
  BASS_Free();
}

}  // namespace
