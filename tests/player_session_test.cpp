// The player's model driven with a fake audio library: start-up, the song buttons, the
// end of a song, broken songs, the export and shut-down.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>

#include "platform/path_text.h"
#include "player/player_layout.h"
#include "player_test_support.h"
#include "playlist/stdss.h"

namespace fs = std::filesystem;
using player::PlayerSession;
using player_test::FakeBass;
using player_test::MakeAlbum;
using player_test::Title;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class Player : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeBass::The() = FakeBass{};
#ifndef _WIN32
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);  // where the single-copy lock lives
#endif
    albumFolder_ = dir_ / "album";
    fs::create_directory(albumFolder_);
  }

  std::unique_ptr<PlayerSession> Session(const fs::path& album, playlist::stdSS& list) {
    PlayerSession::Setup setup;
    setup.album = album;
    setup.privateFolder = runtime_.path();
    setup.library = &library_;
    setup.playlist = &list;
    setup.playlistSkin = platform::Pixels{91, 41, std::vector<std::uint32_t>(91 * 41), 1.0};
    setup.notify = [this](const player::Notice& n) { messages_.push_back(n); };
    return std::make_unique<PlayerSession>(std::move(setup));
  }

  // Starts a player on `album`, expecting it to run.
  PlayerSession& Start(const fs::path& album) {
    session_ = Session(album, list_);
    std::optional<player::Notice> refused = session_->Start();
    EXPECT_FALSE(refused) << player::Describe(*refused);
    return *session_;
  }

  std::vector<fs::path> PlayerFolders() const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(runtime_.path()))
      if (e.path().filename().string().starts_with("player-")) found.push_back(e.path());
    return found;
  }

  static void ExpectButtons(const PlayerSession& s, int green) {
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(s.face().Label1[n].colour, n == green ? kGreen : kWhite) << n;
  }

  TempDir dir_, runtime_;
  fs::path albumFolder_;
  player_test::FakeLibrary library_;
  player_test::ByteWidths widths_;
  playlist::stdSS list_{widths_};
  std::vector<player::Notice> messages_;
  std::unique_ptr<PlayerSession> session_;
};

TEST_F(Player, StartsWithSongsInSlotsOneTwoAndFive) {
  fs::path album = MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}, {5, "tone5"}}, {5});
  PlayerSession& s = Start(album);
  const player::PlayerFace& face = s.face();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(s.songCount(), 3);
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(face.Label1[n].enabled, n <= 3) << n;
  EXPECT_EQ(face.Label1[1].tooltip, Title(1));
  EXPECT_EQ(face.Label1[3].tooltip, "");
  EXPECT_EQ(face.Label1[5].tooltip, Title(5));
  ExpectButtons(s, 1);
  EXPECT_EQ(face.songtitle, "[" + Title(1) + "]");
  EXPECT_EQ(face.songword, Title(1));
  EXPECT_EQ(face.Label2, "专辑");
  EXPECT_TRUE(face.Timer1);
  EXPECT_TRUE(face.tmrBass);
  EXPECT_EQ(FakeBass::The().PlayingFile(), "1.mp3");

  // Unpacked by slot number, with the library, into this player's own folder; nothing
  // beside the album.
  ASSERT_EQ(PlayerFolders().size(), 1u);
  EXPECT_EQ(s.systemFolder(), PlayerFolders()[0]);
  for (const char* name : {"1.mp3", "2.mp3", "5.mp3", "5.lrc", "bass.dll"})
    EXPECT_TRUE(fs::exists(s.systemFolder() / name)) << name;
  EXPECT_EQ(ReadFile(s.systemFolder() / "5.mp3"), "tone5");
  EXPECT_EQ(std::distance(fs::directory_iterator(albumFolder_), {}), 1);
  EXPECT_EQ(s.albumFolder(), platform::PathToUtf8(albumFolder_ / ""));  // with its separator
}

TEST_F(Player, TheFirstSongSoundsBeforeThePlaylistIsAttachedAndPlaysOnAsItsFirstRow) {
  fs::path album = MakeAlbum(albumFolder_, {{2, "tone2"}, {3, "tone3"}}, {2});
  PlayerSession::Setup setup;
  setup.album = album;
  setup.privateFolder = runtime_.path();
  setup.library = &library_;
  PlayerSession s(std::move(setup));
  ASSERT_FALSE(s.StartSound());
  EXPECT_EQ(FakeBass::The().PlayingFile(), "2.mp3");
  EXPECT_FALSE(fs::exists(s.systemFolder() / "3.mp3"));
  EXPECT_EQ(s.songCount(), 0);
  const DWORD early = FakeBass::The().lastHandle;

  s.Attach(&list_, platform::Pixels{91, 41, std::vector<std::uint32_t>(91 * 41), 1.0},
           [this](const player::Notice& n) { messages_.push_back(n); });
  ASSERT_FALSE(s.Start());
  EXPECT_EQ(s.channel(), early);
  EXPECT_EQ(FakeBass::The().streams.size(), 1u);  // not opened a second time
  EXPECT_TRUE(FakeBass::The().streams[early].playing);
  EXPECT_EQ(list_.ListCount, 2);
  EXPECT_EQ(s.face().Label1[2].tooltip, Title(2));
  EXPECT_TRUE(s.face().Label1[2].enabled);
  EXPECT_FALSE(s.face().Label1[3].enabled);
  ExpectButtons(s, 1);
  EXPECT_EQ(s.face().songtitle, "[" + Title(2) + "]");
  EXPECT_TRUE(s.face().tmrBass);
  EXPECT_TRUE(fs::exists(s.systemFolder() / "3.mp3"));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Player, AnEmptyAlbumStartsSilentWithItsDesignCaptions) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {}));
  for (int n = 1; n <= 10; ++n) EXPECT_FALSE(s.face().Label1[n].enabled);
  EXPECT_EQ(s.face().songtitle, player::Control("songtitle").text);
  EXPECT_EQ(s.face().songword, player::Control("songword").text);
  EXPECT_TRUE(s.face().Timer1);
  EXPECT_FALSE(s.face().tmrBass);
  player::Timer1Work work = s.Timer1Tick();
  EXPECT_EQ(work.lblTime, "00:00");
  EXPECT_EQ(work.lblTotalTime, "00:00");
  EXPECT_EQ(work.lblInfo, "0KHz");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Player, ASecondCopyIsRefusedBeforeAnyFileIsWritten) {
  fs::path album = MakeAlbum(albumFolder_, {{1, "tone1"}});
  Start(album);
  playlist::stdSS otherList{widths_};
  auto second = Session(album, otherList);
  std::optional<player::Notice> refused = second->Start();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->kind, player::NoticeKind::StartupRefused);
  EXPECT_EQ(refused->error.kind, platform::ErrorKind::AlreadyRunning);
  EXPECT_EQ(PlayerFolders().size(), 1u);
  EXPECT_EQ(otherList.ListCount, 0);
}

TEST_F(Player, ALibraryThatCannotBeWrittenIsToldByFileAndCauseNotAsMissing) {
  fs::path album = MakeAlbum(albumFolder_, {{1, "tone1"}});
  library_.writeFails = platform::ErrorFromErrno(ENOSPC, platform::Operation::Write, "/run/full/bass.dll");
  std::optional<player::Notice> refused = Session(album, list_)->Start();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->kind, player::NoticeKind::LibraryNotWritten);
  EXPECT_EQ(refused->error.kind, platform::ErrorKind::DiskFull);
  EXPECT_EQ(refused->error.file, "/run/full/bass.dll");
  EXPECT_TRUE(PlayerFolders().empty());
}

TEST_F(Player, AFileThatIsNotAnAlbumIsRefusedByNameLeavingNothing) {
  fs::path bogus = albumFolder_ / "bogus.exe";
  testing_support::WriteFile(bogus, "not an album");
  auto s = Session(bogus, list_);
  std::optional<player::Notice> refused = s->Start();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->kind, player::NoticeKind::StartupRefused);
  EXPECT_EQ(refused->error.kind, platform::ErrorKind::NotAnAlbum);
  EXPECT_EQ(refused->error.file, platform::PathToUtf8(bogus));
  EXPECT_TRUE(PlayerFolders().empty());
}

TEST_F(Player, AnAlbumWithoutSettingsWarnsAndGoesOnEmpty) {
  // Player bytes and an index whose settings and description are empty.
  std::string image = testing_support::Pattern(3000, 1);
  album::Index index{3001, 3001, 3001};
  auto trailer = album::BuildTrailer(index);
  image.append(reinterpret_cast<const char*>(trailer.data()), trailer.size());
  fs::path album = albumFolder_ / platform::PathFromUtf8("空.exe");
  testing_support::WriteFile(album, image);
  PlayerSession& s = Start(album);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, player::NoticeKind::NoSettings);
  EXPECT_EQ(messages_[0].folder, s.albumFolder());
  EXPECT_EQ(s.face().Label2, player::Control("Label2").text);
  EXPECT_EQ(s.songCount(), 0);
}

TEST_F(Player, SongButtonsAndTheNextButtonColourTheButtonPlaying) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}, {5, "tone5"}}));
  s.SongButtonClick(3);
  ExpectButtons(s, 3);
  EXPECT_EQ(s.face().songtitle, "[" + Title(5) + "]");
  EXPECT_EQ(FakeBass::The().PlayingFile(), "5.mp3");
  s.NextClick();  // the last entry wraps to the first
  ExpectButtons(s, 1);
  EXPECT_EQ(FakeBass::The().PlayingFile(), "1.mp3");
  s.SongButtonClick(4);  // beyond the song count: nothing
  ExpectButtons(s, 1);
  const DWORD before = s.channel();
  s.SongButtonClick(1);  // the song playing starts again in a new stream
  EXPECT_NE(s.channel(), before);
  // Each change frees the stream it stops: only the one playing is left.
  EXPECT_EQ(FakeBass::The().streams.size(), 1u);
}

TEST_F(Player, TheEndOfASongMovesOnAndTheLastWrapsToTheFirst) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}}));
  FakeBass& bass = FakeBass::The();
  bass.Current()->position = 5 * player_test::kBytesPerSecond / 2;  // 2.5 s: halves go to even
  bass.frequency = 22050;
  player::Timer1Work work = s.Timer1Tick();
  EXPECT_EQ(work.lblTime, "00:02");
  EXPECT_EQ(work.lblTotalTime, "00:10");
  EXPECT_EQ(work.lblInfo, "22KHz");
  player::TmrBassWork tick = s.TmrBassTick();
  EXPECT_EQ(tick.lblCPU, "CPU % 1.50");
  EXPECT_FALSE(tick.songChanged);
  EXPECT_FALSE(tick.endsIn);  // far from the end
  bass.Current()->position = bass.Current()->length - player_test::kBytesPerSecond / 100;
  EXPECT_EQ(s.TmrBassTick().endsIn, 10);  // ends before the next tick: in 10 ms

  bass.Current()->position = bass.Current()->length;
  tick = s.TmrBassTick();
  EXPECT_TRUE(tick.songChanged);
  EXPECT_FALSE(tick.endsIn);
  EXPECT_EQ(bass.PlayingFile(), "2.mp3");
  ExpectButtons(s, 2);
  bass.Current()->position = bass.Current()->length;
  s.TmrBassTick();
  EXPECT_EQ(bass.PlayingFile(), "1.mp3");
  ExpectButtons(s, 1);
}

TEST_F(Player, TheLyricLabelFollowsThePlayPosition) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "tone1"}}, {1}));
  EXPECT_EQ(s.face().songword, "");
  EXPECT_FALSE(s.TmrBassTick().songword);
  FakeBass::The().Current()->position = 3 * player_test::kBytesPerSecond / 2;
  EXPECT_EQ(s.TmrBassTick().songword, "歌词1");
  EXPECT_EQ(s.face().songword, "歌词1");
}

// A window sleeps through the ticks a tick says are quiet. Played through two songs tick by
// tick on a clock of its own, no tick within such a span may change anything: not the lyric
// line (lines due together come one per tick), the end of the song, or the load caption,
// which the library makes again at each half second of the clock.
TEST_F(Player, TicksSaidToBeQuietChangeNothing) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}}, {1}));
  testing_support::WriteFile(s.systemFolder() / "2.lrc", "[00:00.50]a\n[00:02.00]b\n[00:02.00]c\n[00:02.01]d\n");
  FakeBass& bass = FakeBass::The();
  const auto start = std::chrono::steady_clock::time_point(std::chrono::milliseconds(1'000'007));
  std::string caption = s.face().lblCPU;
  int ticks = 0, needed = 0, lines = 0;
  auto quietUntil = std::chrono::milliseconds(-1);
  auto songStart = std::chrono::milliseconds(0);
  for (auto t = std::chrono::milliseconds(0); t < std::chrono::milliseconds(20'100); t += std::chrono::milliseconds(25)) {
    const auto now = start + t;
    bass.cpu = static_cast<float>(now.time_since_epoch() / std::chrono::milliseconds(500) % 3);
    // The position runs a little slower than the clock, as a device's may.
    player_test::FakeStream& stream = *bass.Current();
    stream.position =
        std::min(stream.length, static_cast<QWORD>((t - songStart).count()) * player_test::kBytesPerSecond * 999 / 1'000'000);
    const player::TmrBassWork work = s.TmrBassTick(now);
    const bool changed = work.songword || work.songChanged || work.endsIn || work.lblCPU != caption;
    ++ticks;
    if (t < quietUntil) {
      EXPECT_FALSE(changed) << "at " << t.count() << " ms, said to be quiet";
    } else {
      ++needed;
    }
    if (work.songword) ++lines;
    if (work.songChanged) songStart = t;
    caption = work.lblCPU;
    quietUntil = t + std::chrono::milliseconds(work.quietMs);
  }
  EXPECT_EQ(bass.PlayingFile(), "1.mp3");  // both songs played to their ends
  EXPECT_EQ(lines, 5);
  EXPECT_LT(needed * 5, ticks) << needed << " of " << ticks << " ticks could change something";
}

TEST_F(Player, ABrokenSongIsSkippedEvenWhenItComesFirst) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "broken"}, {2, "tone2"}, {3, "mute"}}));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, player::NoticeKind::StreamNotOpened);
  EXPECT_EQ(messages_[0].code, 41);
  EXPECT_TRUE(s.face().tmrBass);
  s.TmrBassTick();  // the box is still open: the player goes on without another
  EXPECT_EQ(FakeBass::The().PlayingFile(), "2.mp3");
  s.MessageClosed();
  s.NextClick();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].kind, player::NoticeKind::StreamNotStarted);
  EXPECT_EQ(messages_[1].code, 9);
  s.MessageClosed();
  s.TmrBassTick();  // a stream that would not start is skipped too, and the next round
  s.TmrBassTick();  // passes the broken song without a second message
  EXPECT_EQ(FakeBass::The().PlayingFile(), "2.mp3");
  EXPECT_EQ(messages_.size(), 2u);
  s.SongButtonClick(1);  // picked by the user, it is reported again
  EXPECT_EQ(messages_.size(), 3u);
}

TEST_F(Player, TwoBrokenSongsInARowAreEachReportedOnceInTurn) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "broken"}, {2, "mute"}}));
  for (int i = 0; i < 5; ++i) s.TmrBassTick();
  ASSERT_EQ(messages_.size(), 1u);  // the second waits while the first box is open
  s.MessageClosed();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].kind, player::NoticeKind::StreamNotStarted);
  s.MessageClosed();
  for (int i = 0; i < 5; ++i) s.TmrBassTick();
  EXPECT_EQ(messages_.size(), 2u);
}

// The sound output went away (its server restarting), so no song would start: the player
// tries the next song, once a second after a whole round, and plays on once the sound is back.
TEST_F(Player, SongsThatWouldNotStartAreTriedAgainUntilTheSoundComesBack) {
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "mute"}, {2, "mute"}}));
  s.TmrBassTick();
  s.TmrBassTick();
  EXPECT_TRUE(s.face().tmrBass);
  EXPECT_EQ(FakeBass::The().PlayingFile(), "");
  for (int slot : {1, 2}) testing_support::WriteFile(s.systemFolder() / (std::to_string(slot) + ".mp3"), "tone");
  int ticks = 1;
  while (!s.TmrBassTick().songChanged && ticks < 100) ++ticks;
  EXPECT_GT(ticks, 30);
  EXPECT_LT(ticks, 45);
  EXPECT_NE(FakeBass::The().PlayingFile(), "");
}

TEST_F(Player, ExportWritesTheSlotOfTheAlbumThatPlaysUnderItsTitleWithOrWithoutLyrics) {
  fs::path album = MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}, {5, "tone5"}}, {5});
  PlayerSession& s = Start(album);
  MakeAlbum(albumFolder_, {{1, "rebuilt under the same name"}});
  EXPECT_TRUE(s.SongButtonDown(3, 2));  // entry 3 is slot 5
  EXPECT_EQ(s.exportSlot(), 5);
  s.Export();
  s.Export();  // again: the same files
  EXPECT_EQ(ReadFile(albumFolder_ / platform::PathFromUtf8(Title(5) + ".mp3")), "tone5");
  EXPECT_EQ(ReadFile(albumFolder_ / platform::PathFromUtf8(Title(5) + ".lrc")), player_test::LyricsBytes(5));
  EXPECT_FALSE(s.SongButtonDown(2, 1));
  s.Export();
  EXPECT_EQ(ReadFile(albumFolder_ / platform::PathFromUtf8(Title(2) + ".mp3")), "tone2");
  EXPECT_FALSE(fs::exists(albumFolder_ / platform::PathFromUtf8(Title(2) + ".lrc")));
  EXPECT_FALSE(s.SongButtonDown(4, 2));  // a disabled button
  EXPECT_TRUE(messages_.empty());
}

#ifndef _WIN32  // a folder made read-only by its mode bits
TEST_F(Player, ExportIntoAReadOnlyFolderWarnsByNameAndLeavesNoFile) {
  fs::path album = MakeAlbum(albumFolder_, {{1, "tone1"}});
  ::chmod(dir_.path().c_str(), 0755);
  ::chmod(albumFolder_.c_str(), 0555);
  ::chmod(runtime_.path().c_str(), 0777);
  // Root may write anywhere, so as root the player runs in a child process as "nobody".
  const bool asNobody = ::getuid() == 0;
  pid_t child = asNobody ? ::fork() : 0;
  if (child == 0) {
    if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
    PlayerSession& s = Start(album);
    s.SongButtonDown(1, 2);
    s.Export();
    const fs::path target = albumFolder_ / platform::PathFromUtf8(Title(1) + ".mp3");
    bool warned = messages_.size() == 1 && messages_[0].kind == player::NoticeKind::ExportFailed &&
                  messages_[0].error.file == platform::PathToUtf8(target);
    session_.reset();
    if (asNobody) _exit(warned ? 0 : 1);
    EXPECT_TRUE(warned) << (messages_.empty() ? "no notice" : player::Describe(messages_[0]));
  } else {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(albumFolder_), {}), 1);
}

#endif

TEST_F(Player, ShutDownLeavesNoUnpackedFileAndSweepsFoldersOfKilledPlayers) {
  fs::create_directory(runtime_ / "player-killed");  // its lock is held by nobody
  testing_support::WriteFile(runtime_ / "player-killed" / "1.mp3", "left");
  PlayerSession& s = Start(MakeAlbum(albumFolder_, {{1, "tone1"}, {2, "tone2"}}, {1}));
  ASSERT_EQ(PlayerFolders().size(), 1u);
  const fs::path mine = s.systemFolder();
  s.Shutdown();
  EXPECT_TRUE(library_.freed);
  EXPECT_FALSE(s.face().tmrBass);
  EXPECT_FALSE(fs::exists(mine));
  EXPECT_TRUE(PlayerFolders().empty());
  // Nothing is left but, where the single-copy lock is a file (Linux), its folder, empty.
  for (const fs::directory_entry& e : fs::directory_iterator(runtime_.path()))
    EXPECT_TRUE(e.is_directory() && fs::is_empty(e.path())) << e.path();
  EXPECT_EQ(std::distance(fs::directory_iterator(albumFolder_), {}), 1);
}

}  // namespace
