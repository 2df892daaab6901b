#include "platform/shared_library.h"
#include "win32_util.h"

namespace platform {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::filesystem::path& path) {
  // The libraries it needs are looked for beside it first, and a failure shows no box.
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return nullptr;
  HMODULE module =
      ::LoadLibraryExW(win32::LongPath(absolute).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ::SetErrorMode(previous);
  if (module == nullptr) return nullptr;
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(module));
}

SharedLibrary::~SharedLibrary() {
  ::FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace platform
