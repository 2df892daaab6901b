#include "player_start.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "cli/error_text.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "player/window_start.h"

#ifndef MFD_EXEC
#define MFD_EXEC 0x0010U  // Linux 6.3; older headers lack it
#endif

namespace player {
namespace {

constexpr int kWindowResource = 102;

bool WriteAll(int fd, std::span<const std::byte> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

void* Load(const std::string& path, std::string& why) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) why = ::dlerror();
  return handle;
}

// The window module the program carries, loaded from a file in memory, so nothing is left on
// disk for it. Where the system refuses to run code from such a file, it is loaded from a
// temporary file in the private folder that is never put in place: it goes once loaded, at a
// terminating signal, or with the next start's sweep. Null, with the reason in `why`, when it
// cannot be loaded at all.
void* LoadWindowModule(const platform::Result<std::filesystem::path>& privateFolder, std::string& why) {
  const std::span<const std::byte> bytes = platform::LoadResourceData("CUSTOM", kWindowResource);
  if (bytes.empty()) {
    why = "this program carries no window";
    return nullptr;
  }
  // Kernels that make such files not executable by default want MFD_EXEC; older ones refuse
  // the flag they do not know.
  int fd = ::memfd_create("sonvira-window", MFD_CLOEXEC | MFD_EXEC);
  if (fd < 0 && errno == EINVAL) fd = ::memfd_create("sonvira-window", MFD_CLOEXEC);
  if (fd < 0) {
    why = std::string("memfd_create: ") + std::strerror(errno);
  } else {
    void* handle = nullptr;
    if (WriteAll(fd, bytes))
      handle = Load("/proc/self/fd/" + std::to_string(fd), why);  // the mapping outlives the file
    else
      why = std::strerror(errno);
    ::close(fd);
    if (handle != nullptr) return handle;
  }
  if (!privateFolder) return nullptr;
  platform::Result<platform::AtomicFile> copy = platform::AtomicFile::Create(privateFolder.value() / "window.so");
  if (!copy) {
    why = cli::ErrorText(copy.error());
    return nullptr;
  }
  if (platform::Status written = copy.value().Write(bytes); !written) {
    why = cli::ErrorText(written.error());
    return nullptr;
  }
  return Load(copy.value().temporaryPath().string(), why);
}

}  // namespace

int RunPlayer(const PlayerOptions& options, int argc, char** argv) {
  const auto began = std::chrono::steady_clock::now();
  WindowStart start;
  start.argc = argc;
  start.argv = argv;
  if (options.verbose) {
    // Titles, lyric lines and paths come from the album: the terminal shows their control
    // characters instead of obeying them.
    start.log = [began](const std::string& line) {
      const std::chrono::duration<double> since = std::chrono::steady_clock::now() - began;
      std::fprintf(stderr, "sonvira %8.3f %s\n", since.count(), platform::EscapeControls(line).c_str());
    };
  }
  std::unique_ptr<AudioLibrary> library = CarriedAudioLibrary();
  start.library = library.get();
  const platform::Result<std::filesystem::path> privateFolder = platform::PrivateFolder();
  // The first song is heard before the window and its toolkit are loaded, which takes longer
  // than everything the sound needs; the window then takes the session over as it stands.
  std::optional<PlayerSession> session;
  start.session = &session;
  if (privateFolder) {
    PlayerSession::Setup early;
    early.album = options.album.value_or(platform::ProgramFile());
    early.privateFolder = privateFolder.value();
    early.library = library.get();
    early.log = start.log;
    session.emplace(std::move(early));
    start.privateFolder = privateFolder.value();
    start.refused = session->StartSound();
  } else {
    start.refused = Notice{NoticeKind::StartupRefused, privateFolder.error()};
  }

  std::string why;
  void* module = LoadWindowModule(privateFolder, why);
  auto entry = module ? reinterpret_cast<WindowEntry>(::dlsym(module, kWindowEntry)) : nullptr;
  if (entry == nullptr) {
    if (module != nullptr) why = "it has no entry point";
    std::fprintf(stderr, "sonvira: the player window could not be loaded: %s\n",
                 platform::EscapeControls(why).c_str());
    return 1;
  }
  if (start.log) start.log("window loaded");
  // Never unloaded: the session may still call into it while it shuts down.
  return entry(&start);
}

}  // namespace player
