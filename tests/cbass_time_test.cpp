// Cbass_time over a library whose answers the test sets, and once over the real one.
#include "player/cbass_time.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the stand-in library answers.
struct Answers {
  QWORD position = 0;
  QWORD length = 0;
  DWORD freq = 0;
  BASS_CHANNELINFO info{};
  DWORD dsver = 0;
  QWORD lastSecondsArgument = 0;
} answers;

QWORD BASS_CALL Position(DWORD) {
  return answers.position;
}
QWORD BASS_CALL Length(DWORD) {
  return answers.length;
}
float BASS_CALL Seconds(DWORD handle, QWORD bytes) {
  answers.lastSecondsArgument = bytes;
  return handle == 0 ? -1.0f : static_cast<float>(bytes) / 176400.0f;
}
BOOL BASS_CALL Attributes(DWORD handle, DWORD* freq, DWORD*, int*) {
  if (handle == 0) return FALSE;
  *freq = answers.freq;
  return TRUE;
}
BOOL BASS_CALL Info(DWORD handle, BASS_CHANNELINFO* info) {
  if (handle == 0) return FALSE;
  *info = answers.info;
  return TRUE;
}
BOOL BASS_CALL GetInfo(BASS_INFO* info) {
  info->dsver = answers.dsver;
  return TRUE;
}

player::BassApi FakeApi() {
  player::BassApi api;
  api.BASS_ChannelGetPosition = Position;
  api.BASS_ChannelGetLength = Length;
  api.BASS_ChannelBytes2Seconds = Seconds;
  api.BASS_ChannelGetAttributes = Attributes;
  api.BASS_ChannelGetInfo = Info;
  api.BASS_GetInfo = GetInfo;
  return api;
}

TEST(CbassTime, GetTimeWritesMinutesAndSecondsWithTwoDigitsEach) {
  EXPECT_EQ(player::Cbass_time::GetTime(0), "00:00");
  EXPECT_EQ(player::Cbass_time::GetTime(59), "00:59");
  EXPECT_EQ(player::Cbass_time::GetTime(60), "01:00");
  EXPECT_EQ(player::Cbass_time::GetTime(754), "12:34");
  EXPECT_EQ(player::Cbass_time::GetTime(3599), "59:59");
  EXPECT_EQ(player::Cbass_time::GetTime(3600), "60:00");
  EXPECT_EQ(player::Cbass_time::GetTime(6000), "100:00");
  EXPECT_EQ(player::Cbass_time::GetTime(-1), "00:-01");
}

TEST(CbassTime, MakeLongPutsTheHighWordAboveTheLowWord) {
  EXPECT_EQ(player::MakeLong(2, 2), 2 + 2 * 65536);
  EXPECT_EQ(player::MakeLong(0x12345, 1), 65536 + 0x2345);
}

TEST(CbassTime, PositionAndDurationUseOnlyTheLow32BitsOfTheByteCounts) {
  player::BassApi api = FakeApi();
  player::Cbass_time time(api);
  answers.position = (QWORD{1} << 32) + 176400;
  EXPECT_FLOAT_EQ(time.GetPlayingPos(7), 1.0f);
  EXPECT_EQ(answers.lastSecondsArgument, 176400u);
  answers.length = 176400 * 3;
  EXPECT_FLOAT_EQ(time.GetDuration(7), 3.0f);
  // The library's failure value for handle 0 goes through unchanged.
  answers.position = ~QWORD{0};
  EXPECT_FLOAT_EQ(time.GetPlayingPos(0), -1.0f);
  EXPECT_EQ(answers.lastSecondsArgument, 0xFFFFFFFFu);
}

TEST(CbassTime, ModeBitsAndRatesFollowTheChannelInformation) {
  player::BassApi api = FakeApi();
  player::Cbass_time time(api);
  answers.freq = 22050;
  EXPECT_EQ(time.GetFrequency(7), 22050);
  EXPECT_EQ(time.GetFrequency(0), 0);

  answers.info = {44100, 1, 0, BASS_CTYPE_STREAM_MP3, 0};
  EXPECT_EQ(time.GetMode(7), "Mono");
  EXPECT_EQ(time.GetBits(7), 16);
  EXPECT_EQ(time.GetBytesPerSecond(7), 88200);

  answers.info = {48000, 2, BASS_SAMPLE_8BITS, BASS_CTYPE_STREAM_MP3, 0};
  EXPECT_EQ(time.GetMode(7), "Stereo");
  EXPECT_EQ(time.GetBits(7), 8);
  EXPECT_EQ(time.GetBytesPerSecond(7), 96000);

  answers.info = {44100, 6, 0, BASS_CTYPE_STREAM, 0};
  EXPECT_EQ(time.GetMode(7), "6 MultiChannel");
  EXPECT_EQ(time.GetBytesPerSecond(7), 176400) << "more than two channels count as two";

  answers.dsver = 9;
  EXPECT_EQ(time.GetDXver(), 9);
}

TEST(CbassTime, BitsPerSecondRoundsToTheNearestAndSurvivesAZeroDuration) {
  player::BassApi api = FakeApi();
  player::Cbass_time time(api);
  answers.length = 176400 * 2;  // two seconds
  EXPECT_EQ(time.GetBitsPerSecond(7, 32000), 128);
  EXPECT_EQ(time.GetBitsPerSecond(7, 32125), 128) << "128.5 rounds to even";
  EXPECT_EQ(time.GetBitsPerSecond(7, 32375), 130) << "129.5 rounds to even";
  answers.length = 0;
  EXPECT_EQ(time.GetBitsPerSecond(7, 32000), 0);
  EXPECT_EQ(time.GetBitsPerSecond(0, 32000), 0);
}

#ifndef _WIN32  // the audio library does not build for Windows yet
TEST(CbassTime, WithTheRealLibraryAStreamDescribesItself) {
  player::BassApi api;
  api.BASS_ChannelGetPosition = BASS_ChannelGetPosition;
  api.BASS_ChannelGetLength = BASS_ChannelGetLength;
  api.BASS_ChannelBytes2Seconds = BASS_ChannelBytes2Seconds;
  api.BASS_ChannelGetAttributes = BASS_ChannelGetAttributes;
  api.BASS_ChannelGetInfo = BASS_ChannelGetInfo;
  api.BASS_GetInfo = BASS_GetInfo;
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
  std::string song = std::string(SONVIRA_SOURCE_DIR) + "/tests/data/audio/stereo_44k_cbr.mp3";
  HSTREAM stream = BASS_StreamCreateFile(FALSE, song.c_str(), 0, 0, 0);
  player::Cbass_time time(api);
  EXPECT_EQ(time.GetFrequency(stream), 44100);
  EXPECT_EQ(time.GetMode(stream), "Stereo");
  EXPECT_EQ(time.GetBits(stream), 16);
  EXPECT_EQ(time.GetBytesPerSecond(stream), 176400);
  EXPECT_FLOAT_EQ(time.GetDuration(stream), 1.0f);
  EXPECT_FLOAT_EQ(time.GetPlayingPos(stream), 0.0f);
  EXPECT_EQ(time.GetBitsPerSecond(stream, 8000), 64);
  EXPECT_EQ(time.GetDXver(), 9);
  EXPECT_EQ(player::Cbass_time::GetTime(static_cast<std::int32_t>(time.GetPlayingPos(0))), "00:-01");
  BASS_Free();
}
#endif

}  // namespace
