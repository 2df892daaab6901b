#include <windows.h>

#include <algorithm>

#include "source_file.h"

namespace bass {

std::unique_ptr<SourceFile> SourceFile::Open(const std::string& path) {
  // Shared for deleting too: the player removes its unpacked songs while a stopped stream may
  // still be reopened, as a Linux file can be unlinked while open.
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
