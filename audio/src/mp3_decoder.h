#pragma once
// One libmpg123 decoder over one open source (a file descriptor or caller-owned bytes),
// producing interleaved signed 16-bit samples at the source's own rate and channel count.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct mpg123_handle_struct;

namespace bass {

// Where a stream's MPEG bytes come from: a file path, or bytes the caller keeps alive.
struct Source {
  std::string path;
  const std::uint8_t* memory = nullptr;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // 0: to the end of the file
};

struct PcmFormat {
  long rate = 0;
  int channels = 0;
  int layer = 3;
};

class Mp3Decoder {
 public:
  // Opens the source and reads up to its first audio frame. With `format` unset the
  // stream's own format is found and fixed; with it set (a stream opened again), output is
  // held to it. On failure returns null and sets `error` to a BASS error code.
  static std::unique_ptr<Mp3Decoder> Open(const Source& source, const PcmFormat* format, int& error);

  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  const PcmFormat& format() const { return format_; }

  // Reads every frame header to the end and returns the exact length in sample frames,
  // then goes back to the start. 0 when no audio frame decodes. A decoder that will play
  // is scanned too: a scan that finds the file's gapless information wrong (a cut file)
  // turns gapless trimming off, and only the same scan on both sides keeps the decoded
  // frames and the length in step.
  std::int64_t ScanFrames();

  // Moves to sample frame `frame`; false when the source cannot go there.
  bool SeekFrame(std::int64_t frame);

  // Decodes up to `samples` 16-bit samples (all channels counted) into `out`. Returns how
  // many were written; fewer than asked only at the end of the stream or on a broken
  // source, after which the stream is over.
  std::size_t Read(std::int16_t* out, std::size_t samples);

  struct Io {
    int fd = -1;
    const std::uint8_t* memory = nullptr;
    std::int64_t base = 0;
    std::int64_t size = 0;
    std::int64_t pos = 0;
  };

 private:
  Mp3Decoder() = default;

  mpg123_handle_struct* handle_ = nullptr;
  Io io_;
  PcmFormat format_;
  bool finished_ = false;
};

}  // namespace bass
