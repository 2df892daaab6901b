#pragma once
// One libmpg123 decoder over one open source (a file or caller-owned bytes),
// producing interleaved signed 16-bit samples at the stream's rate and channel count.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct mpg123_handle_struct;

namespace bass {

class SourceFile;

// Where a stream's MPEG bytes come from: a file path, or a block of `length` bytes the
// caller keeps alive, of which the part from `offset` on is the stream.
struct Source {
  std::string path;
  const std::uint8_t* memory = nullptr;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // a file: 0 means to its end
};

struct PcmFormat {
  long rate = 0;
  int channels = 0;
  int layer = 3;
};

// What the one scan of a stream found, so that a decoder opened again to play it gives
// the same samples without scanning again.
struct ScanResult {
  PcmFormat format;
  std::int64_t frames = 0;  // exact length in sample frames
  // The file's gapless information held up to the scan (a cut file's does not); a decoder
  // that plays must trim the same way.
  bool gapless = true;
};

class Mp3Decoder {
 public:
  // Opens the source and reads up to its first audio frame. Without `scanned` the stream's
  // own format is found and fixed; with it (a stream opened again to play), output is held
  // to the scanned format and trimming. On failure returns null and sets `error` to a BASS
  // error code.
  static std::unique_ptr<Mp3Decoder> Open(const Source& source, const ScanResult* scanned, int& error);

  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  const PcmFormat& format() const { return format_; }

  // Reads every frame header to the end and returns what it found, then goes back to the
  // start. frames is 0 when no audio frame decodes.
  ScanResult Scan();

  // Moves to sample frame `frame`; false when the source cannot go there.
  bool SeekFrame(std::int64_t frame);

  // Decodes up to `samples` 16-bit samples (all channels counted) into `out`. Returns how
  // many were written; fewer than asked only at the end of the stream or on a broken
  // source, after which the stream is over. Frames of another sample rate than the
  // stream's (joined files) are converted to the stream's rate.
  std::size_t Read(std::int16_t* out, std::size_t samples);

  // The reader's state, reached from libmpg123's callbacks.
  struct Io {
    SourceFile* file = nullptr;  // or else memory
    const std::uint8_t* memory = nullptr;
    std::int64_t base = 0;
    std::int64_t size = 0;
    std::int64_t pos = 0;
    // Bytes the decoder may still read: a damaged file must not keep it reading the same
    // bytes over and over.
    std::int64_t budget = 0;
    // The file's bytes from cacheAt on, read ahead: libmpg123 asks for each frame's header
    // and body apart, and a system call for each made the scan of a long song cost tens of
    // milliseconds.
    std::vector<std::uint8_t> cache;
    std::int64_t cacheAt = 0;
    std::size_t cached = 0;
  };

 private:
  Mp3Decoder() = default;
  // Decodes into `out` at the decoder's current output rate; false once the stream is over.
  bool Decode(std::int16_t* out, std::size_t samples, std::size_t& got);
  void Convert(const std::int16_t* in, std::size_t frames);

  std::unique_ptr<SourceFile> file_;
  mpg123_handle_struct* handle_ = nullptr;
  Io io_;
  PcmFormat format_;
  bool gapless_ = true;
  bool finished_ = false;
  int idle_ = 0;

  // Rate conversion of frames at another rate: the output rate of the decoder now, the last
  // input frame and how far past it the next output lies (32.32 fixed point), and converted
  // samples not yet handed out.
  long decodedRate_ = 0;
  std::int16_t last_[2] = {0, 0};
  std::uint64_t phase_ = 0;
  std::vector<std::int16_t> scratch_;
  std::vector<std::int16_t> converted_;
  std::size_t convertedTaken_ = 0;
};

}  // namespace bass
