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
  // The system refused a file operation: `operation` says which, `code` holds errno. On
  // Windows the system's error code is given as the errno value of the same meaning, or as
  // 65536 plus the Windows code where there is none.
  NotFound,      // no such file or folder
  Unreadable,    // permission denied while reading
  Unwritable,    // permission denied while writing or creating
  ReadOnly,      // the folder is on a read-only file system
  DiskFull,      // the disk (or the user's quota) is full
  IsFolder,      // a folder where a file was expected
  NameTooLong,   // the path is too long for the file system
  FileTooLarge,  // past the file system's or the caller's size limit
  SystemError,   // anything else; `code` is the errno value

  // Files and folders that are not as expected.
  Truncated,       // the file ended before the expected bytes (changed while in use?)
  NotPrivate,      // `file` is not a folder of this user that only it may enter
  NoHomeFolder,    // no folder for private files: HOME is not set
  AlreadyRunning,  // another copy of the program (`file`) is running
  NotRegularFile,  // `file` is a pipe, a device or the like where a regular file was expected

  // Building an album. `file` is the album image, or the song for the Song* kinds; `slot` is 1..10.
  NoAlbumName,            // the album name is empty after trimming spaces
  NoDescription,          // the description is empty after trimming spaces
  AlbumNameNotText,       // the album name is not valid UTF-8
  AlbumNameHasSlash,      // the album name holds "/" or "\"
  AlbumNameHasControl,    // the album name holds a control character
  AlbumNameTooLong,       // the album name is too long for a file name
  DescriptionNotText,     // the description is not valid UTF-8
  SongNameTooShort,       // the song's file name has fewer than four characters
  SongNameUnusable,       // the song's file name gives an empty song name
  SongNameHasLineBreak,   // the song name holds a line break
  SongNameHasControl,     // the song name holds another control character (a tab, an escape)
  SongNameNotText,        // the song's file name is not valid UTF-8
  FolderInTheWay,         // a folder has the album image's name
  AlbumOverwritesSource,  // the album image would replace one of its own sources
  AlbumTooLarge,          // the album would pass 2,147,483,647 bytes
  IndexMismatch,          // the album file does not end where its index says
  BuildStopped,           // the user stopped the build; nothing of it is left

  // Reading an album. `file` is the album image; `slot` is 1..10.
  NotAnAlbum,          // not a whole, consistent album image; `code` is an album::Defect
  NoSuchSlot,          // `slot` is not 1..10
  SlotWithoutSong,     // the slot has no song name
  UnsafeSongName,      // the slot's song name cannot be a file name (holds "/", "\" or a control character)
  EmptySong,           // the slot's song has no bytes
  DestinationIsAlbum,  // `file`, where slot `slot` would be written, is the album image itself

  // The audio library beside the album. `file` is its path.
  NoLibraryResource,    // the program carries no audio library to write out
  LibraryMissing,       // no library file in the album folder
  LibraryWrongVersion,  // not loadable, an operation missing, or not version 2.2; `code` the version or 0
  SoundInitFailed,      // the output could not be opened; `code` is the library's error code

  // The playlist control.
  NoSuchRow,         // `code` is the row index asked for
  TooManyRows,       // the playlist holds at most 32767 rows
  PlayTimeOverflow,  // the playlist's total play time would not fit 32 bits
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
