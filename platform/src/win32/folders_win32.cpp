#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/folders.h"
#include "win32/win32_util.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// A Windows function that fills a buffer of `size` characters and returns the length it
// needs, or 0 on failure; called again with more room while the text does not fit.
template <class Fill>
std::wstring FillWide(Fill fill) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, n + 1));
  }
}

// The security identifier of the user this process runs as, in its text form.
std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  win32::ScopedHandle held(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<std::byte> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::wstring sid(text);
  ::LocalFree(text);
  return sid;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  auto trimmed = [](std::wstring s) {
    while (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
    return s;
  };
  return ::CompareStringOrdinal(trimmed(a).c_str(), -1, trimmed(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The user's temporary folder. Windows falls back to its own folder when the user has none
// (no TMP, TEMP or USERPROFILE), and that is no place for files of ours.
Result<fs::path> UserTemporaryFolder() {
  const std::wstring temp = FillWide([](wchar_t* b, DWORD n) { return ::GetTempPathW(n, b); });
  const std::wstring windows = FillWide([](wchar_t* b, DWORD n) { return ::GetWindowsDirectoryW(b, n); });
  const std::wstring system = FillWide([](wchar_t* b, DWORD n) { return ::GetSystemDirectoryW(b, n); });
  if (temp.empty() || SameFolder(temp, windows) || SameFolder(temp, system)) return Error{ErrorKind::NoHomeFolder};
  return fs::path(temp);
}

// Makes `dir` (one level) open to this user alone, or checks that the existing one is a real
// folder (no link or junction) that this user owns.
Status EnsurePrivateDir(const fs::path& dir) {
  const std::wstring sid = UserSid();
  // Full control for the user, inherited by everything inside; nothing from the folder above.
  const std::wstring sddl = L"D:P(A;OICI;FA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (!sid.empty() &&
      ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    attributes.lpSecurityDescriptor = descriptor;
  const BOOL made = ::CreateDirectoryW(dir.c_str(), &attributes);
  const DWORD err = ::GetLastError();
  if (descriptor) ::LocalFree(descriptor);
  if (!made && err != ERROR_ALREADY_EXISTS) return win32::ErrorFromWindows(err, Operation::CreateFolder, dir);

  const DWORD attrs = ::GetFileAttributesW(dir.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return win32::ErrorFromWindows(::GetLastError(), Operation::OpenFolder, dir);
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY) || (attrs & FILE_ATTRIBUTE_REPARSE_POINT))
    return Error{ErrorKind::NotPrivate, win32::PathText(dir)};
  // A file system without owners (FAT) cannot tell; one with owners must name us.
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR found = nullptr;
  if (::GetNamedSecurityInfoW(dir.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &found) == ERROR_SUCCESS) {
    std::unique_ptr<void, decltype(&::LocalFree)> release(found, &::LocalFree);
    wchar_t* text = nullptr;
    if (owner != nullptr && ::ConvertSidToStringSidW(owner, &text)) {
      const bool ours = sid.empty() || sid == text;
      ::LocalFree(text);
      if (!ours) return Error{ErrorKind::NotPrivate, win32::PathText(dir)};
    }
  }
  return {};
}

}  // namespace

fs::path ProgramFile() {
  const std::wstring self = FillWide([](wchar_t* b, DWORD n) {
    // GetModuleFileNameW returns `n` when the name was cut to fit.
    const DWORD got = ::GetModuleFileNameW(nullptr, b, n);
    return got == n ? n : got;
  });
  return fs::path(self);
}

fs::path ProgramFolder() { return ProgramFile().parent_path(); }

std::string RPP(std::string path) {
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  return path;
}

Result<fs::path> PrivateFolder() {
  const fs::path dir = TRY_VALUE(UserTemporaryFolder()) / L"sonvira";
  TRY(EnsurePrivateDir(dir));
  return dir;
}

}  // namespace platform
