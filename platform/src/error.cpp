#include <cerrno>
#include <iterator>
#include <string>

#include "platform/result.h"

namespace platform {

namespace {

constexpr const char* kKindNames[] = {
#define PLATFORM_ERROR_KIND(name) #name,
#include "platform/error_kinds.def"
};

bool IsReading(Operation operation) {
  switch (operation) {
    case Operation::OpenForReading:
    case Operation::Read:
    case Operation::ReadSize:
    case Operation::OpenFolder:
      return true;
    default:
      return false;
  }
}

}  // namespace

Error ErrorFromErrno(int err, Operation operation, const std::string& file) {
  Error e;
  e.file = file;
  e.code = err;
  e.operation = operation;
  switch (err) {
    case ENOENT: e.kind = ErrorKind::NotFound; break;
    case ENOSPC:
#ifdef EDQUOT  // not in the Windows C library
    case EDQUOT:
#endif
      e.kind = ErrorKind::DiskFull; break;
    case EROFS: e.kind = ErrorKind::ReadOnly; break;
    case EACCES:
    case EPERM: e.kind = IsReading(operation) ? ErrorKind::Unreadable : ErrorKind::Unwritable; break;
    case EISDIR: e.kind = ErrorKind::IsFolder; break;
    case ENAMETOOLONG: e.kind = ErrorKind::NameTooLong; break;
    case EFBIG: e.kind = ErrorKind::FileTooLarge; break;
    default: e.kind = ErrorKind::SystemError; break;
  }
  return e;
}

std::string DescribeError(const Error& error) {
  const auto kind = static_cast<std::size_t>(error.kind);
  std::string text = kind < std::size(kKindNames) ? kKindNames[kind] : "?";
  if (!error.file.empty()) text += ", file " + error.file;
  if (error.slot != 0) text += ", slot " + std::to_string(error.slot);
  if (error.operation != Operation::None)
    text += ", operation " + std::to_string(static_cast<int>(error.operation));
  if (error.code != 0) text += ", code " + std::to_string(error.code);
  return text;
}

}  // namespace platform
