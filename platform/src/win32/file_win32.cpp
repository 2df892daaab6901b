// Files through the wide Windows functions. The same promises as on POSIX: a temporary file
// of AtomicFile is replaced into place in one step (MoveFileExW), flushed first, and never
// outlives its writer: removed when the writer is destroyed, at Ctrl-C, Ctrl-Break and the
// closing of the console, and otherwise by the next writer of the same name, which removes
// those that nobody holds open.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwchar>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "win32/win32_util.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

using win32::ErrorFromWindows;
using win32::HandleToInt;
using win32::IntToHandle;

// The temporary files of this process, for the console handler to remove. It runs on a
// thread of its own while the writers may be at work, so plain arrays and atomics.
constexpr int kPendingSlots = 32;
constexpr int kFree = 0, kClaimed = 1, kReady = 2;
struct PendingFile {
  std::atomic<int> state{kFree};
  wchar_t path[1024];  // longer paths go without, to the sweep
};
PendingFile g_pending[kPendingSlots];

BOOL WINAPI RemovePendingFiles(DWORD) {
  // The writers opened their files for sharing deletion, so this works while they are open;
  // Windows removes each file once its last handle is closed.
  for (PendingFile& file : g_pending)
    if (file.state.load() == kReady) ::DeleteFileW(file.path);
  return FALSE;  // on to the next handler, in the end the one that ends the process
}

void InstallCleanupHandler() {
  static std::once_flag once;
  std::call_once(once, [] { ::SetConsoleCtrlHandler(RemovePendingFiles, TRUE); });
}

// Registers `path` for removal by the console handler; -1 when every slot is taken (the file
// is then left to the sweep of a later writer).
int AddPending(const fs::path& path) {
  InstallCleanupHandler();
  const std::wstring text = win32::LongPath(path);
  if (text.size() >= std::size(g_pending[0].path)) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    int expected = kFree;
    if (!g_pending[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    std::wmemcpy(g_pending[i].path, text.c_str(), text.size() + 1);
    g_pending[i].state.store(kReady);
    return i;
  }
  return -1;
}

void RemovePending(int slot) {
  if (slot >= 0) g_pending[slot].state.store(kFree);
}

bool IsTemporaryNameOf(std::wstring_view entry, std::wstring_view prefix) {
  return entry.size() == prefix.size() + 6 && entry.substr(0, prefix.size()) == prefix;
}

// Removes the temporary files ".name.XXXXXX" in `folder` whose writer is gone. A writer keeps
// its file open for writing, so opening it for nobody else to share fails until the writer
// closes it; once open that way, the file goes with the handle.
void SweepStaleTemporaries(const fs::path& folder, const std::wstring& prefix) {
  const fs::path base = folder.empty() ? fs::path(L".") : folder;
  WIN32_FIND_DATAW entry;
  HANDLE search = ::FindFirstFileW(win32::LongPath(base / (prefix + L"*")).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsTemporaryNameOf(entry.cFileName, prefix)) continue;
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    HANDLE stale = ::CreateFileW(win32::LongPath(base / entry.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (stale != INVALID_HANDLE_VALUE) ::CloseHandle(stale);
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
}

// Six characters for a temporary name, different for each call in this process and unlikely
// to match those of another.
std::wstring RandomSuffix() {
  static std::atomic<unsigned long long> counter{0};
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  unsigned long long x = static_cast<unsigned long long>(now.QuadPart) ^
                         (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                         (++counter * 0x9E3779B97F4A7C15ull);
  static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::wstring suffix;
  for (int i = 0; i < 6; ++i) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 29;
    suffix += kLetters[x % 62];
  }
  return suffix;
}

OVERLAPPED At(std::int64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  where.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return where;
}

// At most this much per call, well within the DWORD counts of ReadFile and WriteFile.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

Result<std::size_t> ReadFrom(HANDLE h, const fs::path& path, std::int64_t offset, std::span<std::byte> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    OVERLAPPED where = At(offset + static_cast<std::int64_t>(done));
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(buffer.size() - done, kMaxStep));
    if (!::ReadFile(h, buffer.data() + done, want, &got, &where)) {
      const DWORD err = ::GetLastError();
      if (err == ERROR_HANDLE_EOF) break;
      return ErrorFromWindows(err, Operation::Read, path);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

Status WriteTo(HANDLE h, const fs::path& path, std::int64_t offset, std::span<const std::byte> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED where = At(offset + static_cast<std::int64_t>(done));
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min(data.size() - done, kMaxStep));
    if (!::WriteFile(h, data.data() + done, want, &put, &where))
      return ErrorFromWindows(::GetLastError(), Operation::Write, path);
    done += put;
  }
  return {};
}

Status CopyBetween(HANDLE in, const fs::path& inPath, std::int64_t inOffset, HANDLE out, const fs::path& outPath,
                   std::int64_t outOffset, std::int64_t length, std::size_t block) {
  std::vector<std::byte> buffer(static_cast<std::size_t>(std::min<std::int64_t>(length, block)));
  for (std::int64_t done = 0; done < length;) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length - done, block));
    const std::size_t got = TRY_VALUE(ReadFrom(in, inPath, inOffset + done, std::span(buffer).first(want)));
    if (got == 0) return Error{ErrorKind::Truncated, win32::PathText(inPath)};
    TRY(WriteTo(out, outPath, outOffset + done, std::span(buffer).first(got)));
    done += static_cast<std::int64_t>(got);
  }
  return {};
}

// The identity of an open file: volume serial number and file index.
bool IdentityOf(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
  return ::GetFileInformationByHandle(h, &info) != 0;
}

bool IdentityOf(const fs::path& path, BY_HANDLE_FILE_INFORMATION& info) {
  win32::ScopedHandle h(::CreateFileW(win32::LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h.valid() && IdentityOf(h.get(), info);
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

Result<File> File::OpenRead(const fs::path& path) {
  // Backup semantics open a folder too, so that it is told apart from a refusal.
  HANDLE h = ::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ErrorFromWindows(::GetLastError(), Operation::OpenForReading, path);
  File file(HandleToInt(h), path);
  // Devices (NUL, CON, COM1) and pipes are no files to read an album or a song from.
  if (::GetFileType(h) != FILE_TYPE_DISK) return Error{ErrorKind::NotRegularFile, win32::PathText(path)};
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return ErrorFromWindows(::GetLastError(), Operation::ReadSize, path);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ErrorFromErrno(EISDIR, Operation::None, win32::PathText(path));
  return file;
}

Result<File> File::OpenReadWrite(const fs::path& path, bool& created) {
  created = false;
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = ::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
    h = ::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
    created = h != INVALID_HANDLE_VALUE;
  }
  if (h == INVALID_HANDLE_VALUE) return ErrorFromWindows(::GetLastError(), Operation::OpenForWriting, path);
  return File(HandleToInt(h), path);
}

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ != -1) ::CloseHandle(IntToHandle(fd_));
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

File::~File() {
  if (fd_ != -1) ::CloseHandle(IntToHandle(fd_));
}

Result<std::int64_t> File::Size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(IntToHandle(fd_), &size)) return ErrorFromWindows(::GetLastError(), Operation::ReadSize, path_);
  return static_cast<std::int64_t>(size.QuadPart);
}

Result<std::size_t> File::ReadAt(std::int64_t offset, std::span<std::byte> buffer) const {
  return ReadFrom(IntToHandle(fd_), path_, offset, buffer);
}

Status File::ReadExactlyAt(std::int64_t offset, std::span<std::byte> buffer) const {
  if (TRY_VALUE(ReadAt(offset, buffer)) != buffer.size()) return Error{ErrorKind::Truncated, win32::PathText(path_)};
  return {};
}

Status File::WriteAt(std::int64_t offset, std::span<const std::byte> data) {
  return WriteTo(IntToHandle(fd_), path_, offset, data);
}

Status File::CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t length,
                      std::size_t block) {
  return CopyBetween(IntToHandle(source.fd_), source.path_, sourceOffset, IntToHandle(fd_), path_, offset, length,
                     block);
}

Status File::Truncate(std::int64_t length) {
  LARGE_INTEGER end{};
  end.QuadPart = length;
  // The file position serves nothing else here: every read and write names its offset.
  if (!::SetFilePointerEx(IntToHandle(fd_), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(IntToHandle(fd_)))
    return ErrorFromWindows(::GetLastError(), Operation::Truncate, path_);
  return {};
}

// Windows runs a program by its name, not by a mode.
Status File::MakeExecutable() { return {}; }

bool File::IsSameFileAs(const fs::path& other) const {
  BY_HANDLE_FILE_INFORMATION mine{}, theirs{};
  return IdentityOf(IntToHandle(fd_), mine) && IdentityOf(other, theirs) && SameIdentity(mine, theirs);
}

Result<AtomicFile> AtomicFile::Create(const fs::path& finalPath) {
  const fs::path folder = finalPath.parent_path();
  // ".name.XXXXXX" must itself fit a file name (255 UTF-16 units): the longest final names are
  // cut short there, never inside a surrogate pair.
  std::wstring name = finalPath.filename().native();
  constexpr std::size_t kMaxComponent = 255;
  if (name.size() > kMaxComponent - 8) {
    name.resize(kMaxComponent - 8);
    if (IS_HIGH_SURROGATE(name.back())) name.pop_back();
  }
  const std::wstring prefix = L"." + name + L".";
  SweepStaleTemporaries(folder, prefix);
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path temp = folder / (prefix + RandomSuffix());
    // Open for writing and shared for deletion only: no sweep can take it while it is held,
    // and it can still be renamed into place.
    HANDLE h = ::CreateFileW(win32::LongPath(temp).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                             nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD err = ::GetLastError();
      if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) continue;
      return ErrorFromWindows(err, Operation::Create, finalPath);
    }
    return AtomicFile(HandleToInt(h), temp, finalPath, AddPending(temp));
  }
  return ErrorFromWindows(ERROR_BUSY, Operation::Create, finalPath);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      temp_(std::move(other.temp_)),
      final_(std::move(other.final_)),
      pending_(std::exchange(other.pending_, -1)),
      size_(other.size_) {
  other.temp_.clear();
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (!temp_.empty()) ::DeleteFileW(win32::LongPath(temp_).c_str());
  RemovePending(std::exchange(pending_, -1));
  temp_.clear();
  if (fd_ != -1) ::CloseHandle(IntToHandle(std::exchange(fd_, -1)));
}

Status AtomicFile::Write(std::span<const std::byte> data) {
  TRY(WriteTo(IntToHandle(fd_), final_, size_, data));
  size_ += static_cast<std::int64_t>(data.size());
  return {};
}

Status AtomicFile::CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t length, std::size_t block) {
  TRY(CopyBetween(IntToHandle(source.fd_), source.path_, sourceOffset, IntToHandle(fd_), final_, size_, length,
                  block));
  size_ += length;
  return {};
}

Status AtomicFile::MakeExecutable() { return {}; }

Status AtomicFile::Commit(Durability durability) {
  // The bytes reach the disk before the name does, and a full disk found only at write-back
  // is reported here.
  const bool toDisk = durability == Durability::ToDisk;
  if (toDisk && !::FlushFileBuffers(IntToHandle(fd_)))
    return ErrorFromWindows(::GetLastError(), Operation::Write, final_);
  // Still open while it moves, so no sweep takes it in between.
  if (!::MoveFileExW(win32::LongPath(temp_).c_str(), win32::LongPath(final_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | (toDisk ? MOVEFILE_WRITE_THROUGH : 0)))
    return ErrorFromWindows(::GetLastError(), Operation::Create, final_);
  temp_.clear();
  RemovePending(std::exchange(pending_, -1));
  if (!::CloseHandle(IntToHandle(std::exchange(fd_, -1))))
    return ErrorFromWindows(::GetLastError(), Operation::Write, final_);
  return {};
}

Result<bool> AtomicFile::CommitIfMissing() {
  if (!::FlushFileBuffers(IntToHandle(fd_))) return ErrorFromWindows(::GetLastError(), Operation::Write, final_);
  // Without MOVEFILE_REPLACE_EXISTING the move never replaces, on every file system.
  if (!::MoveFileExW(win32::LongPath(temp_).c_str(), win32::LongPath(final_).c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD err = ::GetLastError();
    if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) return false;
    return ErrorFromWindows(err, Operation::Create, final_);
  }
  temp_.clear();
  Discard();
  return true;
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return IdentityOf(a, ia) && IdentityOf(b, ib) && SameIdentity(ia, ib);
}

}  // namespace platform
