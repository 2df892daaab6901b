// One copy per program file, keyed by the file's identity (its volume and file index), so
// that every name of the file (a copy reached through another path, a hard link) counts as
// the same program. The key is a named mutex of the user's session: Windows drops it with the
// last handle, so a crashed copy never leaves it behind.
#include <windows.h>

#include <cwchar>

#include "platform/single_instance.h"
#include "win32/win32_util.h"

namespace fs = std::filesystem;

namespace platform {

Result<std::unique_ptr<SingleInstance>> SingleInstance::Acquire(const fs::path& programFile) {
  win32::ScopedHandle file(::CreateFileW(programFile.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return win32::ErrorFromWindows(::GetLastError(), Operation::OpenForReading, programFile);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info))
    return win32::ErrorFromWindows(::GetLastError(), Operation::ReadSize, programFile);

  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\sonvira-%08lx-%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                info.nFileIndexLow);
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name);
  const DWORD err = ::GetLastError();
  if (mutex == nullptr) return win32::ErrorFromWindows(err, Operation::LockLockFile, name);
  if (err == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return Error{ErrorKind::AlreadyRunning, win32::PathText(programFile)};
  }
  // No lock file on Windows: the mutex is the lock.
  return std::unique_ptr<SingleInstance>(new SingleInstance(win32::HandleToInt(mutex), fs::path()));
}

SingleInstance::~SingleInstance() { ::CloseHandle(win32::IntToHandle(fd_)); }

}  // namespace platform
