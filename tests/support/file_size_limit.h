#pragma once
// Makes every write past `limit` bytes of a file fail, as a full disk would, for as long as
// the object lives (the process's file size limit, with its signal ignored).

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace testing_support {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t limit) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

}  // namespace testing_support
