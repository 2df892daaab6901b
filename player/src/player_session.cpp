// Start-up and shut-down of the player, and the audio library it carries.
#include "player/player_session.h"

#include <system_error>
#include <vector>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path_text.h"
#include "platform/resources.h"
#include "player/player_layout.h"
#include "player/player_skin.h"

namespace fs = std::filesystem;

namespace player {
namespace {

class CarriedLibrary : public AudioLibrary {
 public:
  platform::Status WriteWhenMissing(const fs::path& folder) override {
    return BassLibrary::WriteWhenMissing(folder, platform::LoadResourceData("CUSTOM", 101));
  }
  Opened Load(const fs::path& folder) override {
    platform::Result<std::unique_ptr<BassLibrary>> loaded = BassLibrary::Load(folder, nullptr);
    if (!loaded) return {nullptr, loaded.error()};
    library_ = std::move(loaded).value();
    return {&library_->api(), {}};
  }
  void Free() override {
    if (library_) library_->Free();
  }

 private:
  std::unique_ptr<BassLibrary> library_;
};

}  // namespace

PlayerFace DesignFace() {
  PlayerFace face;
  face.Label2 = Control("Label2").text;
  face.songtitle = Control("songtitle").text;
  face.songword = Control("songword").text;
  face.lblTime = Control("lblTime").text;
  face.lblTotalTime = Control("lblTotalTime").text;
  face.lblInfo = Control("lblInfo").text;
  face.lblCPU = Control("lblCPU").text;
  for (int n = 1; n <= 10; ++n) face.Label1[n].colour = SongButton(n).colour.value_or(0xFFFFFF);
  return face;
}

std::unique_ptr<AudioLibrary> CarriedAudioLibrary() {
  return std::make_unique<CarriedLibrary>();
}

PlayerSession::PlayerSession(Setup setup) : setup_(std::move(setup)), face_(DesignFace()) {}

PlayerSession::~PlayerSession() {
  Shutdown();
}

void PlayerSession::Log(const std::string& line) const {
  if (setup_.log) setup_.log(line);
}

void PlayerSession::SetTimer(bool& timer, bool on, const char* name) {
  if (timer == on) return;
  timer = on;
  Log(std::string(name) + (on ? " started" : " stopped"));
}

std::string Describe(const Notice& notice) {
  static constexpr const char* kNames[] = {"StartupRefused",  "LibraryNotWritten", "NoSettings",
                                           "StreamNotOpened", "StreamNotStarted",  "SongNotUnpacked",
                                           "ExportFailed"};
  std::string text = kNames[static_cast<int>(notice.kind)];
  switch (notice.kind) {
    case NoticeKind::NoSettings:
      return text + ", folder " + notice.folder;
    case NoticeKind::StreamNotOpened:
    case NoticeKind::StreamNotStarted:
      return text + ", code " + std::to_string(notice.code);
    default:
      return text + ": " + platform::DescribeError(notice.error);
  }
}

void PlayerSession::Attach(playlist::stdSS* playlist, platform::Pixels playlistSkin,
                           std::function<void(const Notice&)> notify) {
  setup_.playlist = playlist;
  setup_.playlistSkin = std::move(playlistSkin);
  setup_.notify = std::move(notify);
}

std::optional<Notice> PlayerSession::Start() {
  if (!soundStarted_)
    if (std::optional<Notice> refused = StartSound()) return refused;
  // 6.
  if (setup_.playlist != nullptr) DressPlaylist(*setup_.playlist, setup_.playlistSkin);
  Log("step 6: playlist dressed");
  if (!image_) Report({NoticeKind::NoSettings, {}, albumFolder_});  // 13
  UnpackSongs();        // 14
  EnableSongButtons();  // 15
  PlayFirstSong();      // 16
  // A song that cannot be written stays in the playlist and is skipped as a broken one.
  for (int slot : deferred_) WriteSlot(slot);
  deferred_.clear();
  Log("start-up done");
  return std::nullopt;
}

std::optional<Notice> PlayerSession::StartSound() {
  soundStarted_ = true;
  Log("start-up: album image " + platform::PathToUtf8(setup_.album));
  // 1. Single copy, keyed by the album image.
  auto instance = platform::SingleInstance::Acquire(setup_.album);
  if (!instance) {
    Log("step 1: refused: " + platform::DescribeError(instance.error()));
    return Notice{NoticeKind::StartupRefused, instance.error()};
  }
  instance_ = std::move(instance).value();
  Log("step 1: no other copy is running");

  // The image is read and checked before anything is written.
  if (std::optional<Notice> refused = OpenAlbum()) return refused;

  // 2. The folder the songs are unpacked into: this player's own.
  std::vector<fs::path> swept;
  auto folder = UnpackFolder::Create(setup_.privateFolder, &swept);
  for (const fs::path& stale : swept) Log("removed the folder of a player that is gone: " + platform::PathToUtf8(stale));
  if (!folder) return Notice{NoticeKind::StartupRefused, folder.error()};
  unpack_ = std::move(folder).value();
  systemFolder_ = unpack_->path();
  Log("step 2: unpack folder " + platform::PathToUtf8(systemFolder_));

  // 3.
  albumFolder_ = platform::RPP(platform::PathToUtf8(setup_.album.parent_path()));
  Log("step 3: album folder " + albumFolder_);

  // 4. Our copy of the library goes into our own folder, never beside the album. A copy that
  // cannot be written is told by its own cause; without one to write, step 8 tells it missing.
  if (platform::Status written = setup_.library->WriteWhenMissing(systemFolder_); !written) {
    Log("step 4: the library was not written: " + platform::DescribeError(written.error()));
    if (written.error().kind != platform::ErrorKind::NoLibraryResource)
      return Notice{NoticeKind::LibraryNotWritten, written.error()};
  } else {
    Log("step 4: wrote " + platform::PathToUtf8(systemFolder_ / kBassFileName));
  }

  // 5. The colour-keyed shape is the window's, made when it was built; 6 is Start()'s.

  // 7.
  std::error_code entered;
  fs::current_path(platform::PathFromUtf8(albumFolder_), entered);
  if (entered) Log("step 7: cannot enter " + albumFolder_);

  // 8 to 10.
  AudioLibrary::Opened opened = setup_.library->Load(systemFolder_);
  if (opened.api == nullptr) {
    Log("steps 8-10: " + platform::DescribeError(opened.failure));
    return Notice{NoticeKind::StartupRefused, opened.failure};
  }
  api_ = opened.api;
  Log("steps 8-10: audio library 2.2 loaded and opened");

  SetTimer(face_.Timer1, true, "Timer1");           // 11
  bassTime_ = std::make_unique<Cbass_time>(*api_);  // 12
  if (image_) {  // 13; without settings, Start() tells the user
    face_.Label2 = image_->AlbumName();
    Log("step 13: label Label2 = " + face_.Label2);
  }
  PlayFirstSlot();
  return std::nullopt;
}

void PlayerSession::PlayFirstSlot() {
  if (!image_) return;
  for (int i = 1; i <= album::kSlotCount && firstSlot_ == 0; ++i) {
    const album::SlotEntry& slot = image_->settings().songSlots[i - 1];
    if (slot.name.empty() || slot.songAfter <= slot.songFirst) continue;
    // A slot that cannot be written is reported by Start(), which tries it again.
    platform::Result<album::UnpackedSlot> unpacked = album::UnpackSlot(*image_, i, systemFolder_);
    if (!unpacked) break;
    firstSlot_ = i;
    Log("wrote " + platform::PathToUtf8(unpacked.value().song));
    if (unpacked.value().lyricsFailed)
      Log("lyrics not written: " + platform::DescribeError(*unpacked.value().lyricsFailed));
  }
  if (firstSlot_ == 0) return;
  const std::string file = platform::PathToUtf8(SongPath(std::to_string(firstSlot_), ".mp3"));
  earlyChannel_ = api_->BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
  if (earlyChannel_ != 0 && !api_->BASS_ChannelPlay(earlyChannel_, FALSE)) {
    if (api_->BASS_StreamFree != nullptr) api_->BASS_StreamFree(earlyChannel_);
    earlyChannel_ = 0;
  }
  if (earlyChannel_ != 0) Log("first sound: " + file);
}

std::optional<Notice> PlayerSession::OpenAlbum() {
  auto image = album::AlbumImage::ReadAlbumIndex(setup_.album);
  if (image) {
    image_ = std::move(image).value();
    return std::nullopt;
  }
  if (album::CarriesNoSettings(setup_.album)) {
    Log("step 13: the album carries no settings");
    return std::nullopt;
  }
  Log("refused: " + platform::DescribeError(image.error()));
  return Notice{NoticeKind::StartupRefused, image.error()};
}

fs::path PlayerSession::SongPath(const std::string& fileName, const char* extension) const {
  // Unpacked files are named by slot number: two slots of one title keep their own songs.
  return systemFolder_ / (fileName + extension);
}

void PlayerSession::UnpackSongs() {
  if (!image_) return;
  for (int i = 1; i <= album::kSlotCount; ++i) {
    const album::SlotEntry& slot = image_->settings().songSlots[i - 1];
    if (slot.name.empty()) continue;
    if (slot.songAfter <= slot.songFirst) {
      Log("step 14: slot " + std::to_string(i) + " skipped: its song has no bytes");
      continue;
    }
    // The first song is written at once (or was, by StartSound); the others follow once it
    // plays, so a large album is heard without waiting for all of it to be unpacked.
    const bool first = setup_.playlist == nullptr || setup_.playlist->ListCount == 0;
    if (first && i != firstSlot_ && !WriteSlot(i)) continue;
    if (!first) deferred_.push_back(i);
    if (setup_.playlist != nullptr) {
      platform::Status added = setup_.playlist->AddItem(std::to_string(i), "", slot.name, "", 0);
      if (!added) Log("step 14: " + platform::DescribeError(added.error()));
    }
    face_.Label1[i].tooltip = slot.name;
  }
  songCount_ = setup_.playlist != nullptr ? setup_.playlist->ListCount : 0;
  Log("step 14: " + std::to_string(songCount_) + " songs");
}

bool PlayerSession::WriteSlot(int i) {
  platform::Result<album::UnpackedSlot> unpacked = album::UnpackSlot(*image_, i, systemFolder_);
  if (!unpacked) {
    Log("slot " + std::to_string(i) + " not unpacked: " + platform::DescribeError(unpacked.error()));
    Report({NoticeKind::SongNotUnpacked, unpacked.error()});
    return false;
  }
  const album::UnpackedSlot& files = unpacked.value();
  Log("wrote " + platform::PathToUtf8(files.song));
  if (files.lyricsFailed) {
    Log("lyrics not written: " + platform::DescribeError(*files.lyricsFailed));
  } else if (!files.lyrics.empty()) {
    Log("wrote " + platform::PathToUtf8(files.lyrics));
  }
  return true;
}

void PlayerSession::EnableSongButtons() {
  for (int n = 1; n <= 10; ++n) face_.Label1[n].enabled = n <= songCount_;
}

void PlayerSession::PlayFirstSong() {
  if (setup_.playlist == nullptr || setup_.playlist->ListCount <= 0) return;
  SelectAndPlay(1);
}

void PlayerSession::Shutdown() {
  if (shutDown_ || !instance_) return;
  shutDown_ = true;
  Log("shut-down");
  SetTimer(face_.tmrBass, false, "tmrBass");  // 1
  SetTimer(face_.Timer1, false, "Timer1");
  if (api_ != nullptr) setup_.library->Free();  // 2
  api_ = nullptr;
  // 3. From here on every failure is passed over.
  auto remove = [&](const fs::path& path) {
    std::error_code ec;
    if (fs::remove(path, ec)) Log("deleted " + platform::PathToUtf8(path));
  };
  if (image_ && unpack_) {  // 4
    for (int i = 1; i <= album::kSlotCount; ++i) {
      if (image_->settings().songSlots[i - 1].name.empty()) continue;
      remove(SongPath(std::to_string(i), ".mp3"));
      remove(SongPath(std::to_string(i), ".lrc"));
    }
  }
  if (unpack_) remove(systemFolder_ / kBassFileName);  // 5 and 7; 6 and 8 are the window's
  if (unpack_) {
    unpack_.reset();
    // The folder goes with its lock; the log tells what happened, not what was meant.
    std::error_code ec;
    const bool gone = !fs::exists(systemFolder_, ec) && !ec;
    Log((gone ? "deleted " : "could not delete ") + platform::PathToUtf8(systemFolder_));
  }
  instance_.reset();
}

}  // namespace player
