#pragma once
// What this test process holds, to check that repeated work leaves it flat: its open files
// (Windows: every kernel handle), the bytes its heap has handed out, and whether a library is
// still loaded.

#include <cstddef>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <dirent.h>
#include <dlfcn.h>
#include <malloc.h>
#endif

namespace testing_support {

inline int OpenFileCount() {
#ifdef _WIN32
  DWORD handles = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
  return static_cast<int>(handles);
#else
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
#endif
}

inline std::size_t HeapBytesInUse() {
#ifdef _WIN32
  // The C runtime allocates from the process's heaps; what their busy blocks hold.
  std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::size_t bytes = 0;
  for (HANDLE heap : heaps) {
    if (!::HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    ::HeapUnlock(heap);
  }
  return bytes;
#else
  return mallinfo2().uordblks;
#endif
}

inline bool LibraryLoaded(const std::filesystem::path& path) {
#ifdef _WIN32
  return ::GetModuleHandleW(path.c_str()) != nullptr;
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
#endif
}

}  // namespace testing_support
