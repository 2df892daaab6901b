#pragma once
// Plain binary files with typed errors. Offsets are 0-based byte offsets.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/result.h"

namespace platform {

class File {
 public:
  friend class AtomicFile;
  // An existing file for reading.
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
  // Copies `length` bytes from `source` at `sourceOffset` to `offset` of this file, in pieces
  // of at most `block` bytes. The kernel copies where it can; otherwise one buffer of
  // `block` bytes is used, so memory does not grow with the length. Truncated when the
  // source ends early.
  Status CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t length,
                  std::size_t block);
  Status Truncate(std::int64_t length);
  // Adds execute permission wherever read permission is granted.
  Status MakeExecutable();

 private:
  File(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  int fd_ = -1;
  std::filesystem::path path_;
};

// A new file that appears under its final name only when Commit() succeeds: it is written
// under a hidden temporary name in the same folder and renamed into place, replacing a file
// of that name. Destroyed without Commit(), it removes the temporary file, so a failed
// write never leaves a half file behind.
class AtomicFile {
 public:
  friend class File;
  static Result<AtomicFile> Create(const std::filesystem::path& finalPath);

  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  ~AtomicFile();

  Status Write(std::span<const std::byte> data);
  // Appends `length` bytes of `source` from `sourceOffset`, like File::CopyFrom.
  Status CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t length, std::size_t block);
  Status Commit();
  // Like Commit(), but a file that appeared under the final name meanwhile is kept and this
  // one discarded: the result is false then, true when this file was put in place.
  Result<bool> CommitIfMissing();

 private:
  AtomicFile(int fd, std::filesystem::path temp, std::filesystem::path final)
      : fd_(fd), temp_(std::move(temp)), final_(std::move(final)) {}
  int fd_ = -1;
  std::filesystem::path temp_;
  std::filesystem::path final_;
};

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
