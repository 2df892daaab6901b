#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/folders.h"

namespace fs = std::filesystem;

namespace platform {

fs::path ProgramFile() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self;
}

fs::path ProgramFolder() { return ProgramFile().parent_path(); }

std::string RPP(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

namespace {

// Makes `dir` (one level) with mode 0700, or checks that the existing one is a real folder
// of ours that nobody else can enter.
Status EnsurePrivateDir(const fs::path& dir) {
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
    return ErrorFromErrno(errno, Operation::CreateFolder, dir.string());
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) return ErrorFromErrno(errno, Operation::OpenFolder, dir.string());
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return Error{ErrorKind::NotPrivate, dir.string()};
  if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
    return ErrorFromErrno(errno, Operation::MakeFolderPrivate, dir.string());
  return {};
}

}  // namespace

Result<fs::path> PrivateFolder() {
  fs::path base;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/') {
    base = run;
  } else if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = fs::path(home) / ".cache";
    std::error_code ec;
    fs::create_directories(base, ec);
  } else {
    return Error{ErrorKind::NoHomeFolder};
  }
  fs::path dir = base / "sonvira";
  TRY(EnsurePrivateDir(dir));
  return dir;
}

}  // namespace platform
