#pragma once
// Typed results for everything below the windows: either a value or an Error that says what
// went wrong as a kind and the facts (file, slot, code), never in words. Only the windows
// (ui/error_text.h, Chinese) and the command lines (cli/error_text.h, English) turn an Error
// into words, each in one place.
//
// Passing an error up is one line:
//   TRY(image.WriteAt(0, bytes));                        // a Status
//   File file = TRY_VALUE(File::OpenRead(path));         // a Result<T>

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace platform {

enum class ErrorKind {
#define PLATFORM_ERROR_KIND(name) name,
#include "platform/error_kinds.def"
};

// Every kind, in order: code that must cover them all walks this.
inline constexpr ErrorKind kAllErrorKinds[] = {
#define PLATFORM_ERROR_KIND(name) ErrorKind::name,
#include "platform/error_kinds.def"
};

// What was being done when the system refused; words for it belong to the front ends.
enum class Operation {
  None,
  OpenForReading,
  OpenForWriting,
  Read,
  Write,
  Create,
  ReadSize,
  Truncate,
  MakeExecutable,
  CreateFolder,
  OpenFolder,
  MakeFolderPrivate,
  OpenLockFile,
  LockLockFile,
};

struct Error {
  Error() = default;
  Error(ErrorKind kind, std::string file = {}, int slot = 0, int code = 0)
      : kind(kind), file(std::move(file)), slot(slot), code(code) {}

  ErrorKind kind = ErrorKind::SystemError;
  std::string file;  // UTF-8 (or the file system's bytes) of the path concerned; may be empty
  int slot = 0;      // the album slot 1..10 concerned, or 0
  int code = 0;      // errno, the library's error code or version, or a defect; see the kind
  Operation operation = Operation::None;
};

// The Error for the system's errno value `err` while doing `operation` on `file`. The kind
// follows from `err` alone, except that a permission refusal is Unreadable for the reading
// operations and Unwritable for the others.
Error ErrorFromErrno(int err, Operation operation, const std::string& file);

// The error's kind and facts in one line ("NotFound, file /a/b, operation 1, code 2"), for
// logs; the words a user reads come from the front ends.
std::string DescribeError(const Error& error);

// The Error for the system's last failure in this thread (errno; GetLastError on Windows)
// while doing `operation` on `file` (UTF-8).
Error LastSystemError(Operation operation, const std::string& file);

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

// Returns the error of a failed Status or Result from the calling function, which must
// return a Status or a Result.
#define TRY(...)                                                                    \
  do {                                                                              \
    if (auto try_result_ = (__VA_ARGS__); !try_result_) return try_result_.error(); \
  } while (0)

// The value of a Result, or returns its error from the calling function (a GNU statement
// expression, which GCC and Clang both take).
#define TRY_VALUE(...)                            \
  ({                                              \
    auto try_result_ = (__VA_ARGS__);             \
    if (!try_result_) return try_result_.error(); \
    std::move(try_result_).value();               \
  })
