#pragma once
// Typed results for everything below the windows: either a value or an Error that names
// the file and says what went wrong in words a user can read. Only the windows and the
// command lines turn an Error into a message box or a line on stderr.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace platform {

enum class ErrorKind {
  NotFound,        // a file or folder that should exist does not
  Unreadable,      // exists but cannot be read (permissions, I/O error)
  Unwritable,      // cannot be created or written (permissions, read-only folder)
  DiskFull,        // the write ran out of space
  BadName,         // a name that is not a valid file name or would leave its folder
  TooLarge,        // past a size limit of the format
  BadFormat,       // the bytes are not what the format says
  AlreadyRunning,  // another copy of the program holds the lock
  Other,
};

struct Error {
  ErrorKind kind = ErrorKind::Other;
  std::string file;     // UTF-8 path the problem is about; may be empty
  std::string message;  // what is wrong, one sentence, no trailing period

  // "file: message", or just the message when no file is involved.
  std::string Describe() const { return file.empty() ? message : file + ": " + message; }
};

// An Error from an errno value, with the usual words for the common cases.
Error ErrorFromErrno(int err, const std::string& file, const std::string& doing);

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() & { assert(ok()); return std::get<0>(v_); }
  const T& value() const& { assert(ok()); return std::get<0>(v_); }
  T&& value() && { assert(ok()); return std::get<0>(std::move(v_)); }
  const Error& error() const { assert(!ok()); return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { assert(!ok_); return error_; }

 private:
  Error error_;
  bool ok_ = true;
};

using Status = Result<void>;

}  // namespace platform
