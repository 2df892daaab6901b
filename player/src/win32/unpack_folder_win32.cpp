// The unpack folder on Windows: the lock is the folder's ".lock" file held open with no
// sharing, so nobody else can open it while its player runs; the folder is made under a
// mutex named after the base folder, which leaves no file behind.
#include <windows.h>

#include <functional>
#include <random>
#include <string>

#include "platform/path_text.h"
#include "player/unpack_folder.h"

namespace fs = std::filesystem;
using platform::Error;
using platform::Result;

namespace player {
namespace {

constexpr wchar_t kPrefix[] = L"player-";
constexpr wchar_t kLockName[] = L".lock";

class ScopedLock {
 public:
  explicit ScopedLock(const fs::path& folder) {
    const std::wstring name = L"Local\\sonvira-unpack-" +
                              std::to_wstring(std::hash<std::wstring>{}(fs::absolute(folder, ec_).native()));
    mutex_ = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex_ != nullptr) {
      const DWORD waited = ::WaitForSingleObject(mutex_, INFINITE);
      held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
  }
  ~ScopedLock() {
    if (held_) ::ReleaseMutex(mutex_);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
  }
  bool held() const { return held_; }

 private:
  std::error_code ec_;
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

HANDLE OpenLock(const fs::path& path, DWORD disposition) {
  return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// True when nobody holds the lock of `folder`: its player is gone.
bool Abandoned(const fs::path& folder) {
  HANDLE lock = OpenLock(folder / kLockName, OPEN_EXISTING);
  if (lock == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    return err == ERROR_FILE_NOT_FOUND;  // a folder without a lock was never finished
  }
  ::CloseHandle(lock);
  return true;
}

void Sweep(const fs::path& base, std::vector<fs::path>* swept) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
    if (entry.path().filename().native().rfind(kPrefix, 0) != 0 || !entry.is_directory(ec) ||
        entry.is_symlink(ec))
      continue;
    if (!Abandoned(entry.path())) continue;
    fs::remove_all(entry.path(), ec);
    if (swept != nullptr) swept->push_back(entry.path());
  }
}

}  // namespace

Result<std::unique_ptr<UnpackFolder>> UnpackFolder::Create(const fs::path& base,
                                                           std::vector<fs::path>* swept) {
  ScopedLock guard(base);
  if (!guard.held())
    return platform::LastSystemError(platform::Operation::LockLockFile, platform::PathToUtf8(base));
  Sweep(base, swept);

  std::random_device seed;
  std::mt19937 random(seed());
  constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  fs::path folder;
  for (int attempt = 0;; ++attempt) {
    std::wstring name = kPrefix;
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters / sizeof *kLetters - 1)];
    folder = base / name;
    if (::CreateDirectoryW(folder.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS || attempt == 100)
      return platform::LastSystemError(platform::Operation::CreateFolder, platform::PathToUtf8(base));
  }
  HANDLE lock = OpenLock(folder / kLockName, CREATE_NEW);
  if (lock == INVALID_HANDLE_VALUE) {
    Error error = platform::LastSystemError(platform::Operation::LockLockFile, platform::PathToUtf8(folder));
    std::error_code ec;
    fs::remove_all(folder, ec);
    return error;
  }
  return std::unique_ptr<UnpackFolder>(new UnpackFolder(folder, static_cast<int>(HandleToLong(lock))));
}

UnpackFolder::~UnpackFolder() {
  // Windows deletes no file that is open: the lock goes first.
  ::CloseHandle(LongToHandle(lockFd_));
  std::error_code ec;
  fs::remove_all(path_, ec);
}

}  // namespace player
