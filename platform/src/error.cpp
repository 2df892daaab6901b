#include <cerrno>

#include "platform/result.h"

namespace platform {

namespace {

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

}  // namespace platform
