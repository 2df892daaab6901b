#include "mp3_decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "bass/bass.h"

namespace bass {
namespace {

ssize_t ReadIo(void* handle, void* buffer, size_t bytes) {
  auto* io = static_cast<Mp3Decoder::Io*>(handle);
  std::int64_t left = std::max<std::int64_t>(io->size - io->pos, 0);
  std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(bytes)));
  if (n == 0) return 0;
  if (io->memory != nullptr) {
    std::memcpy(buffer, io->memory + io->base + io->pos, n);
    io->pos += static_cast<std::int64_t>(n);
    return static_cast<ssize_t>(n);
  }
  for (;;) {
    ssize_t got = ::pread(io->fd, buffer, n, io->base + io->pos);
    if (got < 0 && errno == EINTR) continue;
    if (got > 0) io->pos += got;
    return got;
  }
}

off_t SeekIo(void* handle, off_t offset, int whence) {
  auto* io = static_cast<Mp3Decoder::Io*>(handle);
  std::int64_t to = offset;
  if (whence == SEEK_CUR)
    to += io->pos;
  else if (whence == SEEK_END)
    to += io->size;
  else if (whence != SEEK_SET)
    return -1;
  if (to < 0 || to > io->size) return -1;
  io->pos = to;
  return static_cast<off_t>(to);
}

void InitLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

// Only signed 16-bit output: of any rate and channel count while the format is unknown,
// of exactly the stream's format once known, so that a later odd frame is converted
// rather than changing what the mixer receives.
void AllowFormats(mpg123_handle* h, const PcmFormat* format) {
  mpg123_format_none(h);
  if (format != nullptr) {
    mpg123_format(h, format->rate, format->channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return;
  }
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i)
    mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const Source& source, const PcmFormat* format, int& error) {
  InitLibraryOnce();
  std::unique_ptr<Mp3Decoder> d(new Mp3Decoder());
  if (source.memory != nullptr) {
    d->io_.memory = source.memory;
    d->io_.base = static_cast<std::int64_t>(source.offset);
    d->io_.size = static_cast<std::int64_t>(source.length);
  } else {
    d->io_.fd = ::open(source.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (d->io_.fd < 0 || ::fstat(d->io_.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      error = BASS_ERROR_FILEOPEN;
      return nullptr;
    }
    std::int64_t fileSize = st.st_size;
    std::int64_t offset = static_cast<std::int64_t>(source.offset);
    if (offset > fileSize) {
      error = BASS_ERROR_FILEFORM;
      return nullptr;
    }
    d->io_.base = offset;
    d->io_.size = fileSize - offset;
    if (source.length != 0)
      d->io_.size = std::min<std::int64_t>(d->io_.size, static_cast<std::int64_t>(source.length));
  }

  int err = MPG123_OK;
  d->handle_ = mpg123_new(nullptr, &err);
  if (d->handle_ == nullptr) {
    error = BASS_ERROR_MEM;
    return nullptr;
  }
  mpg123_param(d->handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
  AllowFormats(d->handle_, format);
  if (mpg123_replace_reader_handle(d->handle_, ReadIo, SeekIo, nullptr) != MPG123_OK ||
      mpg123_open_handle(d->handle_, &d->io_) != MPG123_OK) {
    error = BASS_ERROR_FILEFORM;
    return nullptr;
  }
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(d->handle_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
      (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) {
    error = BASS_ERROR_FILEFORM;
    return nullptr;
  }
  if (format != nullptr) {
    d->format_ = *format;
  } else {
    d->format_.rate = rate;
    d->format_.channels = channels;
    mpg123_frameinfo info{};
    if (mpg123_info(d->handle_, &info) == MPG123_OK) d->format_.layer = info.layer;
    AllowFormats(d->handle_, &d->format_);
  }
  return d;
}

Mp3Decoder::~Mp3Decoder() {
  if (handle_ != nullptr) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
  if (io_.fd >= 0) ::close(io_.fd);
}

std::int64_t Mp3Decoder::ScanFrames() {
  if (mpg123_scan(handle_) != MPG123_OK) return 0;
  off_t frames = mpg123_length(handle_);
  if (frames <= 0) return 0;
  if (mpg123_seek(handle_, 0, SEEK_SET) < 0) return 0;
  finished_ = false;
  return frames;
}

bool Mp3Decoder::SeekFrame(std::int64_t frame) {
  finished_ = false;
  return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

std::size_t Mp3Decoder::Read(std::int16_t* out, std::size_t samples) {
  std::size_t total = 0;
  int idle = 0;
  while (total < samples && !finished_) {
    std::size_t bytes = 0;
    int result =
        mpg123_read(handle_, reinterpret_cast<unsigned char*>(out + total), (samples - total) * 2, &bytes);
    total += bytes / 2;
    if (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
      // A decoder that keeps answering without output would hang the mixer.
      idle = bytes == 0 ? idle + 1 : 0;
      if (idle > 64) finished_ = true;
      continue;
    }
    finished_ = true;
  }
  return total;
}

}  // namespace bass
