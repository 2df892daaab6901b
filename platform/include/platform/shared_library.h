#pragma once
// A library loaded at run time by its path, and the functions it exports looked up by name:
// dlopen on Linux, LoadLibraryW on Windows. The library stays loaded while the object lives.

#include <filesystem>
#include <memory>

namespace platform {

class SharedLibrary {
 public:
  // Null when `path` cannot be loaded (no such file, not a library of this system, a library
  // it needs is missing). The path is used as it is, never searched for.
  static std::unique_ptr<SharedLibrary> Open(const std::filesystem::path& path);

  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The exported function `name`, under its undecorated name; null when the library lacks it.
  void* Symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace platform
