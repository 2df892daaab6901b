// Through a real sound server: a private PulseAudio with a null sink, whose monitor is
// recorded; the library talks to the server itself, and (AudioThroughSoundServer) through
// SDL's PulseAudio driver too (SDL_AUDIODRIVER=pulseaudio).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "audio_reference.h"
#include "bass/bass.h"

extern char** environ;

using audio_test::TestFile;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

// Starts `argv` with its output to `out` (or nowhere); returns its process id.
pid_t Spawn(const std::vector<std::string>& argv, const fs::path& out = "/dev/null") {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], &files, nullptr, args.data(), environ) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&files);
  return pid;
}

void End(pid_t& pid, int signal) {
  if (pid <= 0) return;
  kill(pid, signal);
  waitpid(pid, nullptr, 0);
  pid = 0;
}

bool Until(const std::function<bool()>& done, std::chrono::milliseconds within = std::chrono::seconds(5)) {
  const auto deadline = Clock::now() + within;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Where the loud part of `song` reached the sink whole, from sample `from` of `heard` on, each
// sample within 1 (what a quiet stream mixed in adds); heard.size() when it did not.
std::size_t FindWhole(const std::vector<std::int16_t>& heard, std::size_t from, const std::vector<std::int16_t>& song,
                      std::size_t samples = 0) {
  const auto [loud, end] = audio_test::LoudSpan(song, 2, 2000);
  const auto first = song.begin() + 2 * static_cast<std::ptrdiff_t>(loud);
  const auto last = samples > 0 ? first + static_cast<std::ptrdiff_t>(samples)
                                : song.begin() + 2 * static_cast<std::ptrdiff_t>(end);
  const auto at = std::search(heard.begin() + static_cast<std::ptrdiff_t>(std::min(from, heard.size())),
                              heard.end(), first, last, [](int a, int b) { return std::abs(a - b) <= 1; });
  return static_cast<std::size_t>(at - heard.begin());
}

// A PulseAudio daemon of this test's own, in a runtime folder of its own, that the library
// finds through XDG_RUNTIME_DIR; and a recording of its null sink.
class SoundServer {
 public:
  SoundServer() : folder_(fs::temp_directory_path() / ("sonvira_pulse_" + std::to_string(getpid()))) {
    fs::create_directories(folder_);
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  ~SoundServer() {
    End(recorder_, SIGINT);
    End(daemon_, SIGTERM);
    fs::remove_all(folder_);
  }

  // True once it accepts clients.
  bool Start() {
    daemon_ = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     "--system=false", "--load=module-native-protocol-unix",
                     "--load=module-null-sink sink_name=test_sink"});
    return daemon_ > 0 && Until([this] { return Accepts(); });
  }
  // As when it crashes or is restarted: its clients are cut off at once.
  void Kill() { End(daemon_, SIGKILL); }

  void Record() { recorder_ = Spawn({"parec", "-d", "test_sink.monitor", "--raw", "--format=s16le",
                                     "--rate=44100", "--channels=2"}, folder_ / "sink.raw"); }
  std::vector<std::int16_t> Recorded() {
    End(recorder_, SIGINT);
    return audio_test::ReadCapture(folder_ / "sink.raw");
  }

 private:
  bool Accepts() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (folder_ / "pulse" / "native").c_str(), sizeof address.sun_path - 1);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return ok;
  }

  fs::path folder_;
  pid_t daemon_ = 0;
  pid_t recorder_ = 0;
};

class AudioThroughSoundServer : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (*GetParam() != '\0')
      setenv("SDL_AUDIODRIVER", GetParam(), 1);
    else
      unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(server_.Start()) << "pulseaudio did not start";
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  }
  void TearDown() override { BASS_Free(); }

  static HSTREAM Open(const char* name) { return BASS_StreamCreateFile(FALSE, TestFile(name).c_str(), 0, 0, 0); }
  static bool Ended(HSTREAM stream) { return BASS_ChannelGetPosition(stream) == BASS_ChannelGetLength(stream); }
  // A freshly started server can take a while to ask for its first sound; until then nothing
  // is heard and the position rightly stays at the start.
  static bool Started(HSTREAM stream) {
    return Until([stream] { return BASS_ChannelGetPosition(stream) > 0; });
  }

  SoundServer server_;
};

TEST_P(AudioThroughSoundServer, ThePositionFollowsTheSoundAndEndsAtTheLengthOnTime) {
  HSTREAM stream = Open("stereo_44k_cbr.mp3");
  ASSERT_NE(stream, 0u);
  const QWORD length = BASS_ChannelGetLength(stream);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_TRUE(Started(stream));
  const auto started = Clock::now();

  QWORD last = 0;
  double endedAfter = 0;
  while (Clock::now() < started + std::chrono::seconds(3)) {
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
}

// What the library does only when it talks to the server itself: take back the sound the
// server holds, and write it again.
class AudioRewrittenAtTheSoundServer : public AudioThroughSoundServer {};

// As the player changes songs: at the end of one, it is stopped and freed, and the next is
// made and played. The sink gets every sample of both, once and in order, however the output
// hurries the second.
TEST_P(AudioRewrittenAtTheSoundServer, SongsPlayedOneAfterTheOtherReachTheSinkWholeAndInOrder) {
  server_.Record();
  HSTREAM first = Open("stereo_44k_cbr.mp3");
  ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
  ASSERT_TRUE(Until([first] { return Ended(first); }));
  BASS_ChannelStop(first);
  BASS_StreamFree(first);
  HSTREAM second = Open("stereo_44k_vbr_noheader.mp3");
  ASSERT_TRUE(BASS_ChannelPlay(second, FALSE));
  ASSERT_TRUE(Until([second] { return Ended(second); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::vector<std::int16_t> heard = server_.Recorded();

  std::size_t from = 0;
  for (const char* name : {"stereo_44k_cbr.mp3", "stereo_44k_vbr_noheader.mp3"}) {
    SCOPED_TRACE(name);
    const std::vector<std::int16_t> song = audio_test::DecodeWithMpg123(TestFile(name)).samples;
    from = FindWhole(heard, from, song);
    ASSERT_LT(from, heard.size()) << "the song did not reach the sink whole";
    from += 2 * 44100 / 2;
    EXPECT_EQ(FindWhole(heard, from, song, 512), heard.size()) << "the song's start reached the sink twice";
  }
}

// Sound the output holds is taken back and written again when a stream starts or stops beside
// another: the other goes on sample for sample.
TEST_P(AudioRewrittenAtTheSoundServer, AStreamStartedAndStoppedBesideAnotherLeavesItWhole) {
  server_.Record();
  HSTREAM song = Open("stereo_44k_cbr.mp3");
  HSTREAM quiet = Open("quiet_44k_cbr.mp3");
  ASSERT_TRUE(BASS_ChannelPlay(song, FALSE));
  ASSERT_TRUE(Started(song));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(BASS_ChannelPlay(quiet, FALSE));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(BASS_ChannelStop(quiet));
  ASSERT_TRUE(Until([song] { return Ended(song); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::vector<std::int16_t> heard = server_.Recorded();
  EXPECT_LT(FindWhole(heard, 0, audio_test::DecodeWithMpg123(TestFile("stereo_44k_cbr.mp3")).samples),
            heard.size());
}

// The server goes (restarted, or a device change made it end its clients): what was playing
// stands still, and once the server is back, the sound comes back by itself, and a new song
// plays and is heard.
TEST_P(AudioThroughSoundServer, SoundComesBackAfterTheSoundServerRestarts) {
  HSTREAM first = Open("stereo_44k_cbr.mp3");
  ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
  ASSERT_TRUE(Started(first));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  server_.Kill();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const QWORD stood = BASS_ChannelGetPosition(first);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(BASS_ChannelGetPosition(first), stood) << "nothing is heard while the server is away";
  EXPECT_LT(stood, BASS_ChannelGetLength(first));

  ASSERT_TRUE(server_.Start());
  server_.Record();
  EXPECT_TRUE(Until([&] { return BASS_ChannelGetPosition(first) > stood; })) << "the song did not go on";
  BASS_ChannelStop(first);
  BASS_StreamFree(first);
  HSTREAM second = Open("mono_32k_cbr.mp3");
  ASSERT_TRUE(BASS_ChannelPlay(second, FALSE)) << BASS_ErrorGetCode();
  ASSERT_TRUE(Until([second] { return Ended(second); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::vector<std::int16_t> heard = server_.Recorded();
  const auto [loud, end] = audio_test::LoudSpan(heard, 2, 2000);
  ASSERT_LT(loud + 44100 / 2, end) << "the new song was not heard";
  EXPECT_NEAR(audio_test::ToneFrequency(heard, 2, 0, end - 44100 / 2, end, 44100), 800, 4);
}

INSTANTIATE_TEST_SUITE_P(Outputs, AudioThroughSoundServer, ::testing::Values("", "pulseaudio"),
                         [](const auto& info) { return *info.param ? "Sdl" : "Direct"; });
INSTANTIATE_TEST_SUITE_P(Direct, AudioRewrittenAtTheSoundServer, ::testing::Values(""));

}  // namespace
