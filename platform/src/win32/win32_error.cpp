#include <algorithm>
#include <cerrno>

#include "win32/win32_util.h"

namespace platform::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        nullptr);
  return text;
}

std::wstring LongPath(const std::filesystem::path& path) {
  // Room for the 8.3 name and the terminator, as CreateDirectoryW needs it.
  constexpr std::size_t kShortEnough = MAX_PATH - 12;
  const std::wstring& text = path.native();
  if (text.size() < kShortEnough || text.starts_with(LR"(\\?\)")) return text;
  std::error_code ec;
  std::wstring full = std::filesystem::absolute(path, ec).lexically_normal().native();
  if (ec) return text;
  std::replace(full.begin(), full.end(), L'/', L'\\');
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

// The C runtime's own table (_dosmaperr) lumps many of these together as EACCES or EINVAL;
// here each keeps the meaning its words in the front ends give it.
int ErrnoFromWindows(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
    case ERROR_USER_MAPPED_FILE:
      return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
      return ENAMETOOLONG;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
      return EIO;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
      return ENODEV;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return EINVAL;
    default:
      return kUnmappedBase + static_cast<int>(err);
  }
}

Error ErrorFromWindows(DWORD err, Operation operation, const std::filesystem::path& file) {
  return ErrorFromErrno(ErrnoFromWindows(err), operation, PathText(file));
}

}  // namespace platform::win32

namespace platform {

Error LastSystemError(Operation operation, const std::string& file) {
  return ErrorFromErrno(win32::ErrnoFromWindows(::GetLastError()), operation, file);
}

}  // namespace platform
