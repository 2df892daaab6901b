#include "bass_loader.h"

#include <dlfcn.h>

#include <system_error>

#include "cbass_time.h"
#include "platform/file.h"

namespace fs = std::filesystem;

namespace player {
namespace {

BassLoadResult Failed(BassFailure failure, std::string detail) {
  BassLoadResult result;
  result.failure = failure;
  result.detail = std::move(detail);
  switch (failure) {
    case BassFailure::Missing:
      result.message = {"BASS.DLL does not exists", "BASS.DLL", MessageIcon::Critical};
      break;
    case BassFailure::WrongVersion:
      result.message = {"BASS version 2.2 was not loaded", "Incorrect BASS.DLL", MessageIcon::Critical};
      break;
    case BassFailure::InitFailed:
      break;
  }
  return result;
}

// A directory search that finds anything under the name counts, as on the system the
// player was made for, even an entry that turns out not to be a loadable file.
bool FileExists(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// dlopen searches the library path for a bare name; a path with a folder in it is used
// as it is.
fs::path LibraryPath(const fs::path& albumFolder) {
  fs::path folder = albumFolder.empty() ? fs::path(".") : albumFolder;
  return folder / kBassFileName;
}

template <class Fn>
bool Bind(void* handle, const char* name, Fn& slot, std::string& missing) {
  slot = reinterpret_cast<Fn>(dlsym(handle, name));
  if (slot == nullptr && missing.empty()) missing = name;
  return slot != nullptr;
}

}  // namespace

platform::Status BassLibrary::WriteWhenMissing(const fs::path& albumFolder,
                                               std::span<const std::byte> library) {
  const fs::path path = LibraryPath(albumFolder);
  if (FileExists(path)) return {};
  if (library.empty())
    return platform::Error{platform::ErrorKind::NotFound, path.string(),
                           "the program carries no audio library"};
  platform::Result<platform::AtomicFile> file = platform::AtomicFile::Create(path);
  if (!file) return file.error();
  if (platform::Status written = file.value().Write(library); !written) return written;
  // A file that appeared meanwhile is kept, never replaced.
  platform::Result<bool> committed = file.value().CommitIfMissing();
  if (!committed) return committed.error();
  return {};
}

BassLoadResult BassLibrary::Load(const fs::path& albumFolder, void* window) {
  const fs::path path = LibraryPath(albumFolder);
  if (!FileExists(path)) return Failed(BassFailure::Missing, path.string() + " is missing");

  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    return Failed(BassFailure::WrongVersion, why != nullptr ? why : "the library cannot be loaded");
  }
  std::unique_ptr<BassLibrary> library(new BassLibrary(handle, path));
  BassApi& api = library->api_;
  std::string missing;
  Bind(handle, "BASS_GetVersion", api.BASS_GetVersion, missing);
  Bind(handle, "BASS_Init", api.BASS_Init, missing);
  Bind(handle, "BASS_ErrorGetCode", api.BASS_ErrorGetCode, missing);
  Bind(handle, "BASS_ChannelStop", api.BASS_ChannelStop, missing);
  Bind(handle, "BASS_StreamCreateFile", api.BASS_StreamCreateFile, missing);
  Bind(handle, "BASS_ChannelPlay", api.BASS_ChannelPlay, missing);
  Bind(handle, "BASS_ChannelGetPosition", api.BASS_ChannelGetPosition, missing);
  Bind(handle, "BASS_ChannelGetLength", api.BASS_ChannelGetLength, missing);
  Bind(handle, "BASS_ChannelBytes2Seconds", api.BASS_ChannelBytes2Seconds, missing);
  Bind(handle, "BASS_ChannelGetAttributes", api.BASS_ChannelGetAttributes, missing);
  Bind(handle, "BASS_ChannelGetInfo", api.BASS_ChannelGetInfo, missing);
  Bind(handle, "BASS_ChannelGetData", api.BASS_ChannelGetData, missing);
  Bind(handle, "BASS_GetCPU", api.BASS_GetCPU, missing);
  Bind(handle, "BASS_GetInfo", api.BASS_GetInfo, missing);
  Bind(handle, "BASS_Free", api.BASS_Free, missing);
  if (!missing.empty()) return Failed(BassFailure::WrongVersion, "the library lacks " + missing);

  const DWORD version = api.BASS_GetVersion();
  if (version != static_cast<DWORD>(MakeLong(2, 2)))
    return Failed(BassFailure::WrongVersion, "the library reports version " + std::to_string(version));

  if (!api.BASS_Init(-1, 44100, 0, window, nullptr)) {
    const int code = api.BASS_ErrorGetCode();
    BassLoadResult result = Failed(BassFailure::InitFailed, "BASS_Init failed");
    result.message = {"Can't initialize digital sound system\r\n(error code: " + std::to_string(code) + ")",
                      "Error", MessageIcon::Exclamation};
    return result;
  }
  library->open_ = true;
  BassLoadResult result;
  result.library = std::move(library);
  return result;
}

void BassLibrary::Free() {
  if (!open_) return;
  open_ = false;
  api_.BASS_Free();
}

BassLibrary::~BassLibrary() {
  // The output must be closed before the code it calls back into is unloaded.
  Free();
  if (handle_ != nullptr) dlclose(handle_);
}

}  // namespace player
