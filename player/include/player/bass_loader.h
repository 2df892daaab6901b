#pragma once
// The audio library the player carries: written out beside the album as "bass.dll" when
// missing, loaded from there by path, every operation bound by name, its version checked
// and its output opened. Each failure comes back as an error kind (LibraryMissing,
// LibraryWrongVersion, SoundInitFailed) for the window to show before it ends.

#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "bass/bass.h"
#include "platform/result.h"
#include "platform/shared_library.h"

namespace player {

// The operations the player calls, bound by name from the loaded library. All are set
// once loading has succeeded, but for BASS_StreamFree, which a library may lack.
struct BassApi {
  decltype(&::BASS_GetVersion) BASS_GetVersion = nullptr;
  decltype(&::BASS_Init) BASS_Init = nullptr;
  decltype(&::BASS_ErrorGetCode) BASS_ErrorGetCode = nullptr;
  decltype(&::BASS_ChannelStop) BASS_ChannelStop = nullptr;
  decltype(&::BASS_StreamCreateFile) BASS_StreamCreateFile = nullptr;
  decltype(&::BASS_ChannelPlay) BASS_ChannelPlay = nullptr;
  decltype(&::BASS_ChannelGetPosition) BASS_ChannelGetPosition = nullptr;
  decltype(&::BASS_ChannelGetLength) BASS_ChannelGetLength = nullptr;
  decltype(&::BASS_ChannelBytes2Seconds) BASS_ChannelBytes2Seconds = nullptr;
  decltype(&::BASS_ChannelGetAttributes) BASS_ChannelGetAttributes = nullptr;
  decltype(&::BASS_ChannelGetInfo) BASS_ChannelGetInfo = nullptr;
  decltype(&::BASS_ChannelGetData) BASS_ChannelGetData = nullptr;
  decltype(&::BASS_GetCPU) BASS_GetCPU = nullptr;
  decltype(&::BASS_GetInfo) BASS_GetInfo = nullptr;
  decltype(&::BASS_Free) BASS_Free = nullptr;
  decltype(&::BASS_StreamFree) BASS_StreamFree = nullptr;
};

// The library's file name in the album folder.
inline constexpr char kBassFileName[] = "bass.dll";

// Owns the loaded library: it is open (BASS_Init done) from Load until Free or the
// destructor, and unloaded by the destructor.
class BassLibrary {
 public:
  // Start-up: the program's resource `library` written, byte for byte, to
  // `albumFolder`/"bass.dll" when no file of that name is there. An existing file is
  // never replaced, and a failed write leaves no part of a file behind. Nothing is written
  // for an empty resource (NoLibraryResource). The user learns of a missing library from
  // Load, so the window need not show this error.
  static platform::Status WriteWhenMissing(const std::filesystem::path& albumFolder,
                                           std::span<const std::byte> library);

  // Start-up: loads `albumFolder`/"bass.dll", binds every operation, checks for version
  // 2.2 and opens the default output at 44,100 Hz for `window` (which the library may
  // ignore). LibraryMissing when there is no such file; LibraryWrongVersion when it cannot be
  // loaded, lacks an operation or reports another version (`code`: the version, or 0);
  // SoundInitFailed with the library's error code when the output does not open.
  static platform::Result<std::unique_ptr<BassLibrary>> Load(const std::filesystem::path& albumFolder,
                                                             void* window);

  ~BassLibrary();
  BassLibrary(const BassLibrary&) = delete;
  BassLibrary& operator=(const BassLibrary&) = delete;

  const BassApi& api() const { return api_; }
  const std::filesystem::path& path() const { return path_; }

  // Shut-down: stops the sound and frees every stream (BASS_Free). Later calls do nothing.
  void Free();

 private:
  BassLibrary(std::unique_ptr<platform::SharedLibrary> library, std::filesystem::path path)
      : library_(std::move(library)), path_(std::move(path)) {}

  std::unique_ptr<platform::SharedLibrary> library_;
  std::filesystem::path path_;
  BassApi api_;
  bool open_ = false;
};

}  // namespace player
