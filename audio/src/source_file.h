#pragma once
// A song file opened for reading at any offset, one file per system (source_file_posix.cpp,
// source_file_windows.cpp). The path is bytes passed to the system unchanged: UTF-8 on Linux,
// the ANSI code page on Windows (CreateFileA). The file may be renamed or deleted while open.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace bass {

class SourceFile {
 public:
  // Null when the file cannot be opened or is not a regular file.
  static std::unique_ptr<SourceFile> Open(const std::string& path);

  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // The size when it was opened.
  std::int64_t Size() const { return size_; }

  // Reads up to `bytes` bytes from `offset` on. Returns how many, 0 at the end, -1 on a read
  // error.
  std::int64_t ReadAt(std::int64_t offset, void* buffer, std::size_t bytes);

 private:
  SourceFile(std::intptr_t handle, std::int64_t size) : handle_(handle), size_(size) {}

  std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE
  std::int64_t size_;
};

}  // namespace bass
