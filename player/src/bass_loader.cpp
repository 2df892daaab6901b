#include "player/bass_loader.h"

#include <system_error>

#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/shared_library.h"
#include "player/cbass_time.h"

namespace fs = std::filesystem;

namespace player {
namespace {

// A directory search that finds anything under the name counts, as on the system the
// player was made for, even an entry that turns out not to be a loadable file.
bool FileExists(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

fs::path LibraryPath(const fs::path& albumFolder) {
  fs::path folder = albumFolder.empty() ? fs::path(".") : albumFolder;
  return folder / kBassFileName;
}

// Binds `name`; `complete` turns false when the library lacks it.
template <class Fn>
void Bind(const platform::SharedLibrary& library, const char* name, Fn& slot, bool& complete) {
  slot = reinterpret_cast<Fn>(library.Symbol(name));
  complete = complete && slot != nullptr;
}

}  // namespace

platform::Status BassLibrary::WriteWhenMissing(const fs::path& albumFolder,
                                               std::span<const std::byte> library) {
  const fs::path path = LibraryPath(albumFolder);
  if (FileExists(path)) return {};
  if (library.empty()) return platform::Error{platform::ErrorKind::NoLibraryResource, platform::PathToUtf8(path)};
  platform::AtomicFile file = TRY_VALUE(platform::AtomicFile::Create(path));
  TRY(file.Write(library));
  // A file that appeared meanwhile is kept, never replaced: either outcome is fine.
  TRY(file.CommitIfMissing());
  return {};
}

platform::Result<std::unique_ptr<BassLibrary>> BassLibrary::Load(const fs::path& albumFolder, void* window) {
  const fs::path path = LibraryPath(albumFolder);
  auto failed = [&](platform::ErrorKind kind, int code) {
    return platform::Error{kind, platform::PathToUtf8(path), 0, code};
  };
  if (!FileExists(path)) return failed(platform::ErrorKind::LibraryMissing, 0);

  std::unique_ptr<platform::SharedLibrary> loaded = platform::SharedLibrary::Open(path);
  if (!loaded) return failed(platform::ErrorKind::LibraryWrongVersion, 0);
  const platform::SharedLibrary& handle = *loaded;
  std::unique_ptr<BassLibrary> library(new BassLibrary(std::move(loaded), path));
  BassApi& api = library->api_;
  bool complete = true;
  Bind(handle, "BASS_GetVersion", api.BASS_GetVersion, complete);
  Bind(handle, "BASS_Init", api.BASS_Init, complete);
  Bind(handle, "BASS_ErrorGetCode", api.BASS_ErrorGetCode, complete);
  Bind(handle, "BASS_ChannelStop", api.BASS_ChannelStop, complete);
  Bind(handle, "BASS_StreamCreateFile", api.BASS_StreamCreateFile, complete);
  Bind(handle, "BASS_ChannelPlay", api.BASS_ChannelPlay, complete);
  Bind(handle, "BASS_ChannelGetPosition", api.BASS_ChannelGetPosition, complete);
  Bind(handle, "BASS_ChannelGetLength", api.BASS_ChannelGetLength, complete);
  Bind(handle, "BASS_ChannelBytes2Seconds", api.BASS_ChannelBytes2Seconds, complete);
  Bind(handle, "BASS_ChannelGetAttributes", api.BASS_ChannelGetAttributes, complete);
  Bind(handle, "BASS_ChannelGetInfo", api.BASS_ChannelGetInfo, complete);
  Bind(handle, "BASS_ChannelGetData", api.BASS_ChannelGetData, complete);
  Bind(handle, "BASS_GetCPU", api.BASS_GetCPU, complete);
  Bind(handle, "BASS_GetInfo", api.BASS_GetInfo, complete);
  Bind(handle, "BASS_Free", api.BASS_Free, complete);
  if (!complete) return failed(platform::ErrorKind::LibraryWrongVersion, 0);
  // Optional: without it a stopped song's stream stays until shut-down.
  bool optional = true;
  Bind(handle, "BASS_StreamFree", api.BASS_StreamFree, optional);

  const DWORD version = api.BASS_GetVersion();
  if (version != static_cast<DWORD>(MakeLong(2, 2)))
    return failed(platform::ErrorKind::LibraryWrongVersion, static_cast<int>(version));

  if (!api.BASS_Init(-1, 44100, 0, window, nullptr))
    return failed(platform::ErrorKind::SoundInitFailed, api.BASS_ErrorGetCode());
  library->open_ = true;
  return library;
}

void BassLibrary::Free() {
  if (!open_) return;
  open_ = false;
  api_.BASS_Free();
}

BassLibrary::~BassLibrary() {
  // The output must be closed before the code it calls back into is unloaded.
  Free();
}

}  // namespace player
