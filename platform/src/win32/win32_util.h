#pragma once
// What the Windows backends share: text between UTF-8 and the UTF-16 of the wide functions,
// and Windows error codes turned into the errno values the rest of the program knows.

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "platform/result.h"

namespace platform::win32 {

// UTF-8 to UTF-16; invalid UTF-8 becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. Never throws, unlike path::string().
std::string Narrow(std::wstring_view wide);
inline std::string PathText(const std::filesystem::path& path) { return Narrow(path.native()); }

// The errno value of the Windows error `err`, or kUnmappedBase + `err` for one without an
// equivalent (its words then show the number).
inline constexpr int kUnmappedBase = 0x10000;
int ErrnoFromWindows(DWORD err);

// ErrorFromErrno for the Windows error `err` (GetLastError()).
Error ErrorFromWindows(DWORD err, Operation operation, const std::filesystem::path& file);

// A HANDLE kept in the int member of a class whose header is shared with POSIX, which keeps
// a descriptor there. Windows keeps handle values within 32 bits (HandleToLong), and
// INVALID_HANDLE_VALUE becomes -1, the empty descriptor.
inline int HandleToInt(HANDLE handle) { return static_cast<int>(HandleToLong(handle)); }
inline HANDLE IntToHandle(int value) { return LongToHandle(value); }

// Closes `handle` when it goes out of scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (valid()) ::CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

}  // namespace platform::win32
