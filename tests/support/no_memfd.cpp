// Preloaded into a program (LD_PRELOAD) to stand for a system that refuses files in memory,
// as kernels set up to forbid running code from them do.
#include <cerrno>

extern "C" int memfd_create(const char*, unsigned int) {
  errno = EACCES;
  return -1;
}
