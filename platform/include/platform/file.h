#pragma once
// Plain binary files with typed errors. Offsets are 0-based byte offsets.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "platform/path_text.h"
#include "platform/result.h"

namespace platform {

class File {
 public:
  friend class AtomicFile;
  // An existing regular file for reading. It is opened without blocking, so a pipe or a
  // device never hangs the caller: IsFolder for a folder, NotRegularFile for anything else
  // that is not a regular file.
  static Result<File> OpenRead(const std::filesystem::path& path);
  // A file for reading and writing, created (mode 0666 less the umask) when missing and
  // never shortened. `created` tells which of the two happened.
  static Result<File> OpenReadWrite(const std::filesystem::path& path, bool& created);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  const std::filesystem::path& path() const { return path_; }
  Result<std::int64_t> Size() const;
  // Reads up to `buffer.size()` bytes; fewer only at the end of the file.
  Result<std::size_t> ReadAt(std::int64_t offset, std::span<std::byte> buffer) const;
  // Reads exactly `buffer.size()` bytes or fails (a file shorter than expected is Truncated).
  Status ReadExactlyAt(std::int64_t offset, std::span<std::byte> buffer) const;
  // Writes all of `data` or fails.
  Status WriteAt(std::int64_t offset, std::span<const std::byte> data);
  // Copies `length` bytes from `source` at `sourceOffset` to `offset` of this file. The
  // kernel copies where that is fastest; otherwise one buffer of `block` bytes is used, so
  // memory does not grow with the length. Truncated when the source ends early.
  Status CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t length,
                  std::size_t block);
  Status Truncate(std::int64_t length);
  // Adds execute permission wherever read permission is granted.
  Status MakeExecutable();
  // True when `other` names this very file (same device and inode, symbolic links followed);
  // false when it names another file or nothing.
  bool IsSameFileAs(const std::filesystem::path& other) const;

 private:
  File(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  int fd_ = -1;
  std::filesystem::path path_;
};

// A new file that appears under its final name only when committed: it is written under a
// hidden temporary name in the same folder (".name.XXXXXX") and renamed into place. The
// temporary file never outlives its writer:
// - destroyed without a commit, it is removed, so a failed write leaves no half file;
// - SIGINT, SIGTERM or SIGHUP remove it before the process ends as the signal says;
// - the writer holds a lock on it, and Create() removes the temporary files of the same
//   final name whose lock nobody holds (their writer was killed outright), never those of a
//   writer that is still at work.
class AtomicFile {
 public:
  friend class File;
  static Result<AtomicFile> Create(const std::filesystem::path& finalPath);

  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  ~AtomicFile();

  const std::filesystem::path& temporaryPath() const { return temp_; }
  Status Write(std::span<const std::byte> data);
  // Appends `length` bytes of `source` from `sourceOffset`, like File::CopyFrom.
  Status CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t length, std::size_t block);
  // Adds execute permission wherever read permission is granted.
  Status MakeExecutable();
  // How Commit makes the file last. ToDisk: its bytes reach the disk before its name does
  // (anything a user keeps). Unflushed: the system writes them back when it will, for
  // private copies that go again when their program ends and are made anew from their
  // source; the rename still never shows a half file while the system runs.
  enum class Durability { ToDisk, Unflushed };
  // Puts the file in place, replacing a file of that name.
  Status Commit(Durability durability = Durability::ToDisk);
  // Like Commit(), but a file that appeared under the final name meanwhile is kept and this
  // one discarded: the result is false then, true when this file was put in place. Needs no
  // hard links (which FAT refuses): a rename that never replaces, or where the file system
  // lacks one, a create-exclusive copy.
  Result<bool> CommitIfMissing();

 private:
  AtomicFile(int fd, std::filesystem::path temp, std::filesystem::path final, int pending)
      : fd_(fd), temp_(std::move(temp)), final_(std::move(final)), pending_(pending) {}
  void Discard();
  int fd_ = -1;
  std::filesystem::path temp_;
  std::filesystem::path final_;
  int pending_ = -1;  // the slot of the signal clean-up, or -1
  std::int64_t size_ = 0;  // bytes written so far; the next write goes there
};

// True when `a` and `b` name the same file (same device and inode, symbolic links followed);
// false when either names nothing.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The whole of a small file. FileTooLarge when it holds more than `maxBytes`.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// Byte views of strings, for the span-based interfaces.
inline std::span<const std::byte> AsBytes(std::string_view s) {
  return {reinterpret_cast<const std::byte*>(s.data()), s.size()};
}
inline std::string_view AsChars(std::span<const std::byte> b) {
  return {reinterpret_cast<const char*>(b.data()), b.size()};
}

}  // namespace platform
