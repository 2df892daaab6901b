#include "mp3_decoder.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "bass/bass.h"
#include "source_file.h"

namespace bass {
namespace {

// A damaged file may make the decoder go back over the same bytes; past this many bytes read
// (twice the source, plus the tags and frames at its start) it is treated as ended.
std::int64_t ReadBudgetFor(std::int64_t size) { return 2 * size + (std::int64_t{1} << 20); }

// Reads from a file go through a buffer of this size; larger reads go straight to the file.
constexpr std::size_t kReadAhead = 64 * 1024;

// Up to `n` bytes of the file at stream offset `at`, through the read-ahead buffer.
std::int64_t ReadFile(Mp3Decoder::Io& io, std::int64_t at, void* buffer, std::size_t n) {
  const bool hit = at >= io.cacheAt && at < io.cacheAt + static_cast<std::int64_t>(io.cached);
  if (!hit) {
    if (n >= kReadAhead) return io.file->ReadAt(io.base + at, buffer, n);
    io.cache.resize(kReadAhead);
    const std::int64_t got = io.file->ReadAt(io.base + at, io.cache.data(), kReadAhead);
    io.cacheAt = at;
    io.cached = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (got <= 0) return got;
  }
  const std::size_t offset = static_cast<std::size_t>(at - io.cacheAt);
  const std::size_t take = std::min(n, io.cached - offset);
  std::memcpy(buffer, io.cache.data() + offset, take);
  return static_cast<std::int64_t>(take);
}

ssize_t ReadIo(void* handle, void* buffer, size_t bytes) {
  auto* io = static_cast<Mp3Decoder::Io*>(handle);
  std::int64_t left = std::max<std::int64_t>(std::min(io->size - io->pos, io->budget), 0);
  std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(bytes)));
  if (n == 0) return 0;
  if (io->memory != nullptr) {
    std::memcpy(buffer, io->memory + io->base + io->pos, n);
    io->pos += static_cast<std::int64_t>(n);
    io->budget -= static_cast<std::int64_t>(n);
    return static_cast<ssize_t>(n);
  }
  const std::int64_t got = ReadFile(*io, io->pos, buffer, n);
  if (got > 0) {
    io->pos += got;
    io->budget -= got;
  }
  return static_cast<ssize_t>(got);
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

constexpr std::uint64_t kUnit = std::uint64_t{1} << 32;

// Only signed 16-bit output, at every frame's own rate: libmpg123's own conversion to
// another rate does work in proportion to the frame count the file claims, which a damaged
// header can put in the billions. Channels are fixed once known (`channels` 1 or 2), so
// that a later frame of the other kind is mixed up or down rather than changing what the
// mixer receives.
void AllowFormats(mpg123_handle* h, int channels) {
  mpg123_format_none(h);
  const int kinds = channels == 1 ? MPG123_MONO : channels == 2 ? MPG123_STEREO : MPG123_MONO | MPG123_STEREO;
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], kinds, MPG123_ENC_SIGNED_16);
}

}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const Source& source, const ScanResult* scanned, int& error) {
  InitLibraryOnce();
  std::unique_ptr<Mp3Decoder> d(new Mp3Decoder());
  if (source.memory != nullptr) {
    // The block is [memory, memory + length); the stream is its part from offset on.
    if (source.offset > source.length) {
      error = BASS_ERROR_ILLPARAM;
      return nullptr;
    }
    d->io_.memory = source.memory;
    d->io_.base = static_cast<std::int64_t>(source.offset);
    d->io_.size = static_cast<std::int64_t>(source.length - source.offset);
  } else {
    d->file_ = SourceFile::Open(source.path);
    if (!d->file_) {
      error = BASS_ERROR_FILEOPEN;
      return nullptr;
    }
    d->io_.file = d->file_.get();
    const std::int64_t fileSize = d->file_->Size();
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
  d->io_.budget = ReadBudgetFor(d->io_.size);

  int err = MPG123_OK;
  d->handle_ = mpg123_new(nullptr, &err);
  if (d->handle_ == nullptr) {
    error = BASS_ERROR_MEM;
    return nullptr;
  }
  d->gapless_ = scanned == nullptr || scanned->gapless;
  mpg123_param(d->handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_param(d->handle_, d->gapless_ ? MPG123_ADD_FLAGS : MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
  AllowFormats(d->handle_, scanned != nullptr ? scanned->format.channels : 0);
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
  d->decodedRate_ = rate;
  if (scanned != nullptr) {
    d->format_ = scanned->format;
  } else {
    d->format_.rate = rate;
    d->format_.channels = channels;
    mpg123_frameinfo info{};
    if (mpg123_info(d->handle_, &info) == MPG123_OK) d->format_.layer = info.layer;
    AllowFormats(d->handle_, channels);
  }
  return d;
}

Mp3Decoder::~Mp3Decoder() {
  if (handle_ != nullptr) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
}

ScanResult Mp3Decoder::Scan() {
  ScanResult result;
  result.format = format_;
  result.gapless = gapless_;
  if (mpg123_scan(handle_) != MPG123_OK) return result;
  const off_t frames = mpg123_length(handle_);
  if (frames <= 0 || mpg123_seek(handle_, 0, SEEK_SET) < 0) return result;
  // Trimming that is still on makes the length differ from whole MPEG frames. When it does
  // not, the scan dropped the file's gapless information (or there was none to use), and a
  // decoder opened without it gives the very same samples without a scan of its own.
  const off_t whole = mpg123_framelength(handle_) * mpg123_spf(handle_);
  result.gapless = gapless_ && frames != whole;
  result.frames = frames;
  finished_ = false;
  return result;
}

bool Mp3Decoder::SeekFrame(std::int64_t frame) {
  finished_ = false;
  converted_.clear();
  convertedTaken_ = 0;
  phase_ = kUnit;
  return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

bool Mp3Decoder::Decode(std::int16_t* out, std::size_t samples, std::size_t& got) {
  std::size_t bytes = 0;
  const int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out), samples * 2, &bytes);
  got = bytes / 2;
  if (result == MPG123_NEW_FORMAT) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
        rate != decodedRate_) {
      decodedRate_ = rate;
      phase_ = kUnit;  // the first frame at the new rate is only taken as the starting point
    }
  }
  if (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
    // A decoder that keeps answering without output would hang the mixer.
    idle_ = got == 0 ? idle_ + 1 : 0;
    if (idle_ > 64) finished_ = true;
  } else {
    finished_ = true;
  }
  return !finished_;
}

// Linear interpolation from decodedRate_ to the stream's rate, carried across calls.
void Mp3Decoder::Convert(const std::int16_t* in, std::size_t frames) {
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  const std::uint64_t step = (static_cast<std::uint64_t>(decodedRate_) << 32) / static_cast<std::uint64_t>(format_.rate);
  for (std::size_t i = 0; i < frames; ++i, in += channels) {
    for (; phase_ < kUnit; phase_ += step) {
      for (std::size_t c = 0; c < channels; ++c) {
        const std::int64_t a = last_[c];
        converted_.push_back(static_cast<std::int16_t>(a + ((in[c] - a) * static_cast<std::int64_t>(phase_) >> 32)));
      }
    }
    phase_ -= kUnit;
    for (std::size_t c = 0; c < channels; ++c) last_[c] = in[c];
  }
}

std::size_t Mp3Decoder::Read(std::int16_t* out, std::size_t samples) {
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  std::size_t total = 0;
  while (total < samples) {
    if (convertedTaken_ < converted_.size()) {
      const std::size_t n = std::min(samples - total, converted_.size() - convertedTaken_);
      std::copy_n(converted_.data() + convertedTaken_, n, out + total);
      convertedTaken_ += n;
      total += n;
      continue;
    }
    if (finished_) break;
    std::size_t got = 0;
    if (decodedRate_ == format_.rate) {
      Decode(out + total, samples - total, got);
      total += got;
      if (got >= channels) std::copy_n(out + total - channels, channels, last_);
    } else {
      // One MPEG frame's worth at a time, so that little waits here converted.
      scratch_.resize(1152 * channels);
      Decode(scratch_.data(), scratch_.size(), got);
      converted_.clear();
      convertedTaken_ = 0;
      Convert(scratch_.data(), got / channels);
    }
  }
  return total;
}

}  // namespace bass
