#include <dlfcn.h>

#include "platform/shared_library.h"

namespace platform {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::filesystem::path& path) {
  // A bare name would send dlopen searching the library path: one with a folder is used as it is.
  const std::filesystem::path named = path.has_parent_path() ? path : std::filesystem::path(".") / path;
  void* handle = ::dlopen(named.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() {
  ::dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) const {
  return ::dlsym(handle_, name);
}

}  // namespace platform
