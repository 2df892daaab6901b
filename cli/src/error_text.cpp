#include "cli/error_text.h"

#include <cerrno>

#include "album/reader.h"
#include "platform/text.h"

namespace cli {
namespace {

using platform::ErrorKind;
using platform::Operation;

std::string Doing(Operation operation) {
  switch (operation) {
    case Operation::None: return {};
    case Operation::OpenForReading: return "open the file for reading";
    case Operation::OpenForWriting: return "open the file for writing";
    case Operation::Read: return "read the file";
    case Operation::Write: return "write the file";
    case Operation::Create: return "create the file";
    case Operation::ReadSize: return "read the file size";
    case Operation::Truncate: return "cut the file back";
    case Operation::MakeExecutable: return "make the file executable";
    case Operation::CreateFolder: return "create the folder";
    case Operation::OpenFolder: return "open the folder";
    case Operation::MakeFolderPrivate: return "make the folder private";
    case Operation::OpenLockFile: return "open the lock file";
    case Operation::LockLockFile: return "lock the lock file";
  }
  return {};
}

// "cannot write the file: the disk is full", or only the reason when nothing was being done.
std::string Refused(const platform::Error& e, const std::string& reason) {
  const std::string doing = Doing(e.operation);
  return doing.empty() ? reason : "cannot " + doing + ": " + reason;
}

// The system's refusals that have no kind of their own, worded like the rest rather than in
// the C library's words.
std::string SystemReason(int code) {
  switch (code) {
    case EEXIST: return "a file of that name already exists";
    case ETXTBSY: return "the file is a program that is running";
    case EBUSY: return "the file or folder is in use";
    case EIO: return "the disk reported an input/output error";
    case ENOTDIR: return "a part of the path is not a folder";
    case ELOOP: return "too many symbolic links in the path";
    case EMFILE:
    case ENFILE: return "too many files are open";
    case ENOMEM: return "out of memory";
    case EXDEV: return "the file is on another file system";
    case ENXIO:
    case ENODEV: return "no such device";
    case EINVAL:
    case EOPNOTSUPP: return "the file system does not support this";
    default: return "system error (code " + std::to_string(code) + ")";
  }
}

std::string DefectText(int code) {
  switch (static_cast<album::Defect>(code)) {
    case album::Defect::ShorterThanTrailer: return "the file is shorter than the 10,000-byte index";
    case album::Defect::LargerThanLimit: return "the file is larger than 2,147,483,647 bytes";
    case album::Defect::NoIndexNumbers: return "the index at its end does not hold three numbers";
    case album::Defect::LengthMismatch: return "the index does not match the file length (the file may be truncated)";
    case album::Defect::IndexOutOfOrder: return "the index positions are out of order";
    case album::Defect::SettingsTooLarge: return "the settings are implausibly large";
    case album::Defect::DescriptionTooLarge: return "the description is implausibly large";
    case album::Defect::NoSongStart: return "the settings do not record where the songs start";
    case album::Defect::PositionsOutOfOrder: return "the settings record song positions out of order";
    case album::Defect::SettingsDisagree: return "the settings do not agree with the index";
  }
  return "its contents are damaged";
}

std::string Slot(const platform::Error& e) { return "slot " + std::to_string(e.slot); }

// What is wrong, without the file.
std::string Problem(const platform::Error& e) {
  switch (e.kind) {
    case ErrorKind::NotFound: return Refused(e, "no such file or folder");
    case ErrorKind::Unreadable:
    case ErrorKind::Unwritable: return Refused(e, "permission denied");
    case ErrorKind::ReadOnly: return Refused(e, "the folder is read-only");
    case ErrorKind::DiskFull: return Refused(e, "the disk is full");
    case ErrorKind::IsFolder: return Refused(e, "it is a folder");
    case ErrorKind::NameTooLong: return Refused(e, "the name is too long");
    case ErrorKind::FileTooLarge: return Refused(e, "the file is too large");
    case ErrorKind::SystemError: return Refused(e, SystemReason(e.code));
    case ErrorKind::Truncated: return "the file is shorter than expected (was it changed while in use?)";
    case ErrorKind::NotPrivate: return "is not a private folder of this user";
    case ErrorKind::NoHomeFolder: return "no folder for private files: HOME is not set";
    case ErrorKind::AlreadyRunning: return "another copy is already running";
    case ErrorKind::NotRegularFile: return "not a regular file (a pipe, a device or the like), so it is not read";
    case ErrorKind::NoAlbumName: return "the album name is empty (give --name a name that is not only spaces)";
    case ErrorKind::NoDescription: return "the description is empty (give one that is not only spaces)";
    case ErrorKind::AlbumNameNotText: return "the album name is not valid text";
    case ErrorKind::AlbumNameHasSlash: return "the album name must not contain \"/\" or \"\\\"";
    case ErrorKind::AlbumNameHasControl: return "the album name must not contain control characters";
    case ErrorKind::AlbumNameTooLong: return "the album name is too long for a file name";
    case ErrorKind::DescriptionNotText: return "the description is not UTF-8 text";
    case ErrorKind::DescriptionTooLarge:
      return "the description is too large: as stored (CR LF line ends, code page 936) it would pass "
             "16 MiB (16,777,216 bytes), more than the player reads";
    case ErrorKind::SongNameTooShort: return "the file name is too short to form a song name";
    case ErrorKind::SongNameUnusable: return "the file name does not give a usable song name";
    case ErrorKind::SongNameHasLineBreak: return "the file name holds a line break";
    case ErrorKind::SongNameHasControl: return "the file name holds a control character";
    case ErrorKind::SongNameNotText: return "the file name is not valid text";
    case ErrorKind::NotMpegAudio:
      return "the song of " + Slot(e) + " is not MP3 (MPEG audio) and could not be played";
    case ErrorKind::FolderInTheWay: return "a folder of that name is in the way";
    case ErrorKind::AlbumOverwritesSource: return "the album would overwrite one of its own files";
    case ErrorKind::AlbumTooLarge: return "the album would be larger than 2,147,483,647 bytes";
    case ErrorKind::IndexMismatch: return "the album does not end where its index says";
    case ErrorKind::BuildStopped: return "the build was stopped";
    case ErrorKind::NotAnAlbum: return "not a valid album: " + DefectText(e.code);
    case ErrorKind::NoSuchSlot: return "there is no " + Slot(e);
    case ErrorKind::SlotWithoutSong: return Slot(e) + " has no song";
    case ErrorKind::UnsafeSongName: return "the song name of " + Slot(e) + " is not a safe file name";
    case ErrorKind::EmptySong: return "the song of " + Slot(e) + " has no bytes";
    case ErrorKind::AlbumChanged: return "the album was rewritten since it was started; start it again";
    case ErrorKind::DestinationIsAlbum: return "this is the album itself, so " + Slot(e) + " is not written over it";
    case ErrorKind::NoLibraryResource: return "the program carries no audio library";
    case ErrorKind::LibraryMissing: return "the audio library is missing";
    case ErrorKind::LibraryWrongVersion: return "the audio library is not version 2.2";
    case ErrorKind::SoundInitFailed: return "cannot open the sound output (error code " + std::to_string(e.code) + ")";
    case ErrorKind::NoSuchRow: return "the playlist has no row " + std::to_string(e.code);
    case ErrorKind::TooManyRows: return "the playlist holds at most 32767 rows";
    case ErrorKind::PlayTimeOverflow: return "the total play time of the playlist would overflow";
  }
  return "unknown error";
}

}  // namespace

std::string ErrorText(const platform::Error& error) {
  const std::string problem = Problem(error);
  // Names reach a terminal: their control characters are shown, not obeyed.
  return error.file.empty() ? problem : platform::EscapeControls(error.file) + ": " + problem;
}

}  // namespace cli
