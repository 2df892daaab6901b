#pragma once
// The player's state and logic: start-up, playback and the song buttons, the work of the two
// timers, the export and shut-down. It reaches the audio library only through a BassApi
// table and the playlist only through its stdSS interface, so tests drive it with a fake
// table and a plain playlist. The window shows face() after each call and forwards input.
//
// Everything runs on the user-interface thread. Message boxes do not block the session: it
// hands a notice to `notify` and hands over no other until MessageClosed() is called; a
// notice that comes meanwhile waits its turn and is handed over then.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "album/reader.h"
#include "platform/pixels.h"
#include "platform/single_instance.h"
#include "player/bass_loader.h"
#include "player/cbass_time.h"
#include "player/lyrics.h"
#include "player/spectrum.h"
#include "player/unpack_folder.h"
#include "playlist/stdss.h"

namespace player {

// What the player tells its user in a box, as a kind and the facts; the front end words it.
enum class NoticeKind {
  StartupRefused,     // start-up cannot go on (`error`): not an album, a second copy, the library
  LibraryNotWritten,  // the audio library could not be written out (`error`): start-up ends
  NoSettings,         // the image carries no settings (`folder`); loading goes on with an empty album
  StreamNotOpened,    // a song's stream could not be opened (`code`); the player goes on
  StreamNotStarted,   // a song's stream would not start playing (`code`); the player goes on
  SongNotUnpacked,    // a song could not be unpacked (`error`, with its slot); it is left out
  ExportFailed,       // the export of a song could not be written (`error`)
};

struct Notice {
  Notice(NoticeKind kind, platform::Error error = {}, std::string folder = {}, int code = 0)
      : kind(kind), error(std::move(error)), folder(std::move(folder)), code(code) {}

  NoticeKind kind;
  platform::Error error;  // what failed, for the kinds that name an error
  std::string folder;     // NoSettings: the album folder, UTF-8, with its trailing separator
  int code = 0;           // StreamNotOpened, StreamNotStarted: the library's error code
};

// The notice as one line of facts, for the log.
std::string Describe(const Notice& notice);

// The audio library as start-up needs it: written out, loaded, freed.
class AudioLibrary {
 public:
  struct Opened {
    const BassApi* api = nullptr;  // set on success; valid until Free
    platform::Error failure;       // otherwise: the player shows it and ends
  };
  virtual ~AudioLibrary() = default;
  virtual platform::Status WriteWhenMissing(const std::filesystem::path& folder) = 0;
  virtual Opened Load(const std::filesystem::path& folder) = 0;
  virtual void Free() = 0;
};

// The library the program carries as its resource.
std::unique_ptr<AudioLibrary> CarriedAudioLibrary();

struct SongButtonFace {
  bool enabled = true;
  std::uint32_t colour = 0xFFFFFF;  // 0x00BBGGRR
  std::string tooltip;
};

// What the window shows. Texts are UTF-8.
struct PlayerFace {
  std::string Label2, songtitle, songword, lblTime, lblTotalTime, lblInfo, lblCPU;
  std::array<SongButtonFace, 11> Label1;  // 1..10 are the buttons
  bool Timer1 = false;
  bool tmrBass = false;
};

// The face as designed: the captions and colours of the layout table, shown before start-up.
PlayerFace DesignFace();

// The song being played, as desktop media controls describe it.
struct NowPlaying {
  bool playing = false;  // a song's stream plays (false before the first, after a failed open)
  int slot = 0;          // the current song's slot, 0 before the first song
  std::string title;     // the current song's title, UTF-8
  std::string album;     // the album's name; empty when the album carries no settings
  double length = 0;     // seconds, unrounded (lblTotalTime shows it rounded); 0 when not playing
  int songCount = 0;

  bool operator==(const NowPlaying&) const = default;
};

struct Timer1Work {
  std::string lblTime, lblTotalTime, lblInfo;
  BarHeights bars{};  // what the bar display shows; all 0 when not asked for
};

// tmrBass's period, in milliseconds.
inline constexpr int kTmrBassInterval = 25;

struct TmrBassWork {
  std::string lblCPU;
  bool songChanged = false;             // face() holds new captions and colours
  std::optional<std::string> songword;  // a lyric line that fell due
  // Milliseconds until the playing song's end, rounded up, when it ends before the next tick:
  // a tick then finds the end as it comes, rather than up to a period later. Empty otherwise.
  std::optional<int> endsIn;
  // Milliseconds from this tick during which no tick would change anything, so that a window
  // may sleep through those ticks: the play position runs no faster than the clock, so nothing
  // falls due before the next lyric line's time, the song's last period, or the audio
  // library's next load figure (at the next whole half second of the steady clock). 0 when
  // the next tick may change something.
  int quietMs = 0;

  // How many periods on from this tick the next one need come (at least 1), given a margin in
  // milliseconds for a timer that fires late or a position that leaps a little.
  int TicksToNext(int marginMs) const { return std::max(1, (quietMs - marginMs) / kTmrBassInterval); }
};

class PlayerSession {
 public:
  struct Setup {
    std::filesystem::path album;          // the album image: the program's own file or --album
    std::filesystem::path privateFolder;  // where the unpack folders live
    AudioLibrary* library = nullptr;      // outlives the session
    playlist::stdSS* playlist = nullptr;  // stdSS1; outlives the session
    platform::Pixels playlistSkin;        // Picture1
    std::function<void(const Notice&)> notify;
    std::function<void(const std::string&)> log;  // one line per event; may be empty
  };

  explicit PlayerSession(Setup setup);
  ~PlayerSession();

  // Start-up steps 1 to 16. An empty result: the player runs. A notice (StartupRefused or
  // LibraryNotWritten): show it, and end the program; nothing of this run is left behind.
  // After StartSound, the rest of the steps.
  std::optional<Notice> Start();
  // The part of start-up that makes the first sound, for a front end that is slow to build:
  // steps 1 to 5 and 7 to 13, then the first song that can be unpacked is written and its
  // stream started. Needs no playlist and tells nobody: the rows, the tooltips, the buttons
  // and the notices follow in Start() once the front end is attached, which adopts that stream
  // as the first song's. A stream that fails here is left for Start() to open and report.
  // The result is Start()'s.
  std::optional<Notice> StartSound();
  // The front end of a session made before it: the playlist (which outlives the session),
  // its skin and where notices go. Before Start().
  void Attach(playlist::stdSS* playlist, platform::Pixels playlistSkin, std::function<void(const Notice&)> notify);
  // Shut-down steps 1 to 5 and 7: the sound stops and every file this player wrote goes.
  void Shutdown();

  const PlayerFace& face() const { return face_; }
  NowPlaying nowPlaying() const;
  // Seconds into the playing song; 0 when none plays.
  double playingPosition() const;

  // Input.
  void SongButtonClick(int n);
  // Mouse button `button` (1 left, 2 right) pressed on song button n: remembers its slot for
  // the export. True when the menu is to pop up.
  bool SongButtonDown(int n, int button);
  void NextClick() { PlayNextSong(); }
  void Export();
  // The box of the last notice handed over was closed: the next waiting one is handed over.
  void MessageClosed();

  // Timer work. A Timer1 tick without `bars` (the window cannot be seen) leaves out the
  // library's sample data and the bar heights; the labels are brought up to date as always.
  Timer1Work Timer1Tick(bool bars = true);
  TmrBassWork TmrBassTick(std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());
  // The bar heights of the sound heard now, as a Timer1 tick finds them: for a window that
  // comes back into sight between ticks.
  BarHeights Bars();

  // State the Parts name, for the window and the tests.
  const std::string& albumFolder() const { return albumFolder_; }
  const std::filesystem::path& albumImagePath() const { return setup_.album; }
  const std::filesystem::path& systemFolder() const { return systemFolder_; }
  std::int16_t songCount() const { return songCount_; }
  const std::filesystem::path& currentSongPath() const { return currentSongPath_; }
  const std::string& currentTitle() const { return currentTitle_; }
  DWORD channel() const { return channel_; }
  int exportSlot() const { return exportSlot_; }

 private:
  std::optional<Notice> OpenAlbum();
  void UnpackSongs();
  bool WriteSlot(int slot);
  void EnableSongButtons();
  void PlayFirstSong();
  void PlayFirstSlot();
  void SelectAndPlay(std::int16_t index);
  void OpenAndPlay(const std::filesystem::path& path);
  void PlayNextSong();
  void Error_(NoticeKind kind);
  void Report(const Notice& notice);
  void Log(const std::string& line) const;
  void SetTimer(bool& timer, bool on, const char* name);
  std::filesystem::path SongPath(const std::string& fileName, const char* extension) const;

  Setup setup_;
  PlayerFace face_;
  std::unique_ptr<platform::SingleInstance> instance_;
  std::optional<album::AlbumImage> image_;
  std::unique_ptr<UnpackFolder> unpack_;
  const BassApi* api_ = nullptr;
  std::unique_ptr<Cbass_time> bassTime_;

  std::string albumFolder_;
  std::filesystem::path systemFolder_;
  std::int16_t songCount_ = 0;
  std::filesystem::path currentSongPath_;
  std::string currentTitle_;
  int currentSlot_ = 0;
  DWORD channel_ = 0;
  LyricState lyrics_;
  SpectrumSamples samples_{};
  float cpuLoad_ = std::numeric_limits<float>::quiet_NaN();  // the load face_.lblCPU shows
  int exportSlot_ = 0;

  bool messageOpen_ = false;
  std::deque<Notice> waiting_;                  // to be shown, in order, once the open box is closed
  bool currentFailed_ = false;                  // the current song could not be opened or started
  std::set<std::int16_t> failedSinceLastPlay_;  // playlist entries whose open failed
  int startFailures_ = 0;  // songs in a row whose stream would not start
  int ticksWaited_ = 0;    // tmrBass ticks since the last try, while none would start
  std::set<std::int16_t> reported_;             // entries whose failure was shown or waits to be
  bool shutDown_ = false;
  std::vector<int> deferred_;  // slots whose songs are written once the first plays
  bool soundStarted_ = false;  // StartSound ran
  int firstSlot_ = 0;          // the slot StartSound unpacked first; 0 when none could be
  DWORD earlyChannel_ = 0;     // its stream, playing until Start() adopts it
};

}  // namespace player
