#include <cerrno>
#include <cstring>

#include "platform/result.h"

namespace platform {

Error ErrorFromErrno(int err, const std::string& file, const std::string& doing) {
  Error e;
  e.file = file;
  switch (err) {
    case ENOENT:
      e.kind = ErrorKind::NotFound;
      e.message = "cannot " + doing + ": no such file or folder";
      return e;
    case ENOSPC:
    case EDQUOT:
      e.kind = ErrorKind::DiskFull;
      e.message = "cannot " + doing + ": the disk is full";
      return e;
    case EROFS:
      e.kind = ErrorKind::Unwritable;
      e.message = "cannot " + doing + ": the folder is read-only";
      return e;
    case EACCES:
    case EPERM:
      e.kind = doing.rfind("read", 0) == 0 || doing.rfind("open", 0) == 0 ? ErrorKind::Unreadable
                                                                         : ErrorKind::Unwritable;
      e.message = "cannot " + doing + ": permission denied";
      return e;
    case EISDIR:
      e.kind = ErrorKind::Unreadable;
      e.message = "cannot " + doing + ": it is a folder";
      return e;
    case ENAMETOOLONG:
      e.kind = ErrorKind::BadName;
      e.message = "cannot " + doing + ": the name is too long";
      return e;
    case EFBIG:
      e.kind = ErrorKind::TooLarge;
      e.message = "cannot " + doing + ": the file is too large";
      return e;
    default:
      e.kind = ErrorKind::Other;
      e.message = "cannot " + doing + ": " + std::strerror(err);
      return e;
  }
}

}  // namespace platform
