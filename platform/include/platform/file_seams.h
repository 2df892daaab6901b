#pragma once
// The system calls through which a FAT or exFAT folder makes writing fail, replaceable so
// tests can bring those failures about without a FAT file system. The live table starts
// out with the real calls; a test swaps an entry and puts it back.

#include <sys/types.h>

namespace platform::seams {

struct FileCalls {
  // rename() that never replaces an existing `to` (renameat2 with RENAME_NOREPLACE).
  int (*renameNoReplace)(const char* from, const char* to);
  int (*fchmod)(int fd, mode_t mode);
};

FileCalls& Calls();

}  // namespace platform::seams
