// The program's resources as Windows keeps them, compiled in by windres (see
// sonvira_embed_resource).
#include <windows.h>

#include "platform/resources.h"
#include "win32/win32_util.h"

namespace platform {

std::span<const std::byte> LoadResourceData(std::string_view type, int id) {
  HMODULE self = ::GetModuleHandleW(nullptr);
  const std::wstring wideType = win32::Widen(type);
  HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(id), wideType.c_str());
  if (found == nullptr) return {};
  // A loaded resource belongs to the program's image and stays until the process ends.
  HGLOBAL loaded = ::LoadResource(self, found);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::byte*>(data), static_cast<std::size_t>(::SizeofResource(self, found))};
}

}  // namespace platform
