#include <windows.h>

#include <algorithm>
#include <string>

#include "source_file.h"

namespace bass {

namespace {

// Our player names its files in UTF-8; other programs written for this interface pass the
// ANSI code page. A name that is valid UTF-8 is read as UTF-8 (plain ASCII reads the same
// either way), any other in the ANSI code page.
std::wstring WideName(const std::string& name) {
  const int size = static_cast<int>(name.size());
  int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
  const UINT codePage = n > 0 || name.empty() ? CP_UTF8 : CP_ACP;
  if (codePage == CP_ACP) n = ::MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  ::MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, name.data(), size, wide.data(), n);
  return wide;
}

}  // namespace

std::unique_ptr<SourceFile> SourceFile::Open(const std::string& path) {
  // Shared for deleting too: the player removes its unpacked songs while a stopped stream may
  // still be reopened, as a Linux file can be unlinked while open.
  HANDLE file = ::CreateFileW(WideName(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a device or pipe is no song.
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size)) {
    ::CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<SourceFile>(new SourceFile(reinterpret_cast<std::intptr_t>(file), size.QuadPart));
}

SourceFile::~SourceFile() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::int64_t SourceFile::ReadAt(std::int64_t offset, void* buffer, std::size_t bytes) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes, 1u << 30));
  if (::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, &at)) return got;
  return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

}  // namespace bass
