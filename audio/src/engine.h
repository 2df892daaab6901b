#pragma once
// The library's inside: the streams and the mixer that feeds them to one output device
// (output.h), which pulls on a thread of its own. Calls from the player's thread are
// serialised by one lock; the state the output's thread reads is guarded by a second one,
// held only for short stretches on both sides, so that opening and scanning files never holds
// up the sound. The output is never called with the second lock held.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bass/bass.h"
#include "mp3_decoder.h"
#include "output.h"

namespace bass {

// Which source frames went out in one device buffer, so that a device frame being heard can
// be turned back into a stream position, and the stream can go back to any frame the device
// gives up again.
struct Segment {
  std::uint64_t deviceStart = 0;
  std::uint64_t deviceFrames = 0;
  std::int64_t sourceStart = 0;
  std::int64_t sourceEnd = 0;
  std::uint32_t phaseStart = 0;  // fraction of a source frame past sourceStart
};

// What a stream needs only while it plays: its decoder (and so its open file), decoded
// sound and where the device is in it. A stream that stops hands it back whole, so a
// stopped stream is a small record.
struct Playback {
  std::unique_ptr<Mp3Decoder> decoder;
  bool decoderDone = false;
  // Decoded sound from source frame pcmBase on: what the device still plays, and a
  // little decoded ahead of it.
  std::vector<std::int16_t> pcm;
  std::int64_t pcmBase = 0;
  std::int64_t next = 0;    // next source frame for the device
  std::uint32_t phase = 0;  // fraction of a source frame past next
  bool handedAll = false;
  // Oldest first: the buffers the device has not finished playing.
  std::vector<Segment> segments;
};

class Stream {
 public:
  enum class State { Stopped, Playing, Ended };

  Stream(Source source, const ScanResult& scan, DWORD flags)
      : source_(std::move(source)), scan_(scan), format_(scan.format), lengthFrames_(scan.frames), flags_(flags) {}

  const Source& source() const { return source_; }
  const ScanResult& scan() const { return scan_; }
  const PcmFormat& format() const { return format_; }
  std::int64_t lengthFrames() const { return lengthFrames_; }
  std::int64_t bytesPerFrame() const { return format_.channels * 2; }
  DWORD flags() const { return flags_; }

  // Makes a playback of this stream from `frame` with `decoder`, which already stands there,
  // and decodes its first sound, so that the output's thread at first only copies. Needs no
  // lock: the playback is nobody else's yet.
  std::unique_ptr<Playback> Prepare(std::unique_ptr<Mp3Decoder> decoder, std::int64_t frame) const;

  // The rest runs under the engine's mix lock.
  State state() const { return state_; }
  std::int64_t stoppedAt() const { return stoppedAt_; }

  // Makes the stream play `play`.
  void Start(std::unique_ptr<Playback> play);
  // Leaves the stream Stopped (at `frame`) or Ended, handing its playback state to the
  // caller so that the decoder and buffers can be freed outside the lock.
  std::unique_ptr<Playback> Stop(std::int64_t frame);
  std::unique_ptr<Playback> End();

  // Adds the next `frames` device frames (stereo, at `step` source frames per device frame
  // in 32.32 fixed point) into `mix`. Returns how many frames the stream filled.
  std::size_t Render(std::int32_t* mix, std::size_t frames, std::uint64_t deviceStart, std::uint64_t step);

  // Goes back to where the stream stood at device frame `deviceFrame`: the device gave up
  // what it held from there and will ask for it again.
  void Rewind(std::uint64_t deviceFrame, std::uint64_t step);

  // Lets go of the buffers the device has played in full by device frame `heard`.
  void Forget(std::uint64_t heard);

  // True once every frame has been handed out and the device has played past the last.
  bool Drained(std::uint64_t deviceFrame) const;
  bool HandedAll() const { return play_->handedAll; }

  // The source frame being heard while the device plays frame `deviceFrame`.
  std::int64_t HeardFrame(std::uint64_t deviceFrame) const;

  // Copies up to `bytes` bytes of decoded sound from source frame `frame` on.
  std::size_t CopyFrom(std::int64_t frame, std::uint8_t* out, std::size_t bytes) const;
  std::size_t AvailableFrom(std::int64_t frame) const;

 private:
  std::int64_t DecodedEnd(const Playback& p) const {
    return p.pcmBase + static_cast<std::int64_t>(p.pcm.size()) / format_.channels;
  }
  void Fill(Playback& p, std::int64_t upTo) const;
  void Compact();

  const Source source_;
  const ScanResult scan_;
  const PcmFormat format_;
  const std::int64_t lengthFrames_;
  const DWORD flags_;

  State state_ = State::Stopped;
  std::int64_t stoppedAt_ = 0;
  std::unique_ptr<Playback> play_;  // set while Playing
};

// The share of real time spent making sound, in percent: decoding and mixing time over the
// length of the sound made, in the last whole second of the clock. It is made again only at
// each whole half second of the steady clock (see BASS_GetCPU), so that a caller polling it
// knows when to look again.
class LoadMeter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kStep = std::chrono::milliseconds(500);

  void Reset();
  // One render: `busy` spent making `seconds` of sound. On the output's thread.
  void Add(Clock::duration busy, double seconds);
  float Percent();

 private:
  struct Slot {
    Clock::duration busy{};
    double seconds = 0;
  };
  // With lock_ held: moves the slots on to the half second of now. A render is counted in the
  // half second it is added in, so a figure read once a half second has begun stays as it is.
  void Roll();

  std::mutex lock_;
  std::int64_t slot_ = 0;  // the number of the half second being filled
  Slot filling_;
  Slot done_[2];  // the two half seconds before it, the nearer first
};

class Engine final : public OutputSource {
 public:
  static Engine& Instance();
  ~Engine();

  // Each returns BASS_OK or a BASS error code.
  int Init(int device, DWORD freq, DWORD flags);
  int Free();
  float Cpu() { return meter_.Percent(); }
  int GetInfo(BASS_INFO& info);
  int CreateStream(const Source& source, DWORD flags, HSTREAM& handle);
  int FreeStream(DWORD handle);
  int Play(DWORD handle, bool restart);
  int Stop(DWORD handle);
  int Position(DWORD handle, QWORD& bytes);
  int Length(DWORD handle, QWORD& bytes);
  int Seconds(DWORD handle, QWORD bytes, float& seconds);
  int Attributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);
  int Info(DWORD handle, BASS_CHANNELINFO& info);
  int Data(DWORD handle, void* buffer, DWORD length, DWORD& copied);

  // The output's pull, on its thread: the mix of the playing streams.
  bool Render(std::int16_t* out, std::size_t frames, std::uint64_t first, std::uint64_t heard) override;

 private:
  using Clock = std::chrono::steady_clock;

  Engine() = default;
  Stream* Find(DWORD handle);
  void RemovePlaying(Stream* stream);
  // Opens the output again once it is lost: at once when `now`, otherwise no sooner than a
  // delay that grows while the device stays away. False while there is none.
  bool KeepOutput(bool now);
  // The device frame being heard; it stands still while the output is lost. Not under mix_.
  std::uint64_t HeardNow();
  // A stream started or stopped: the output plays the new mix as soon as it can.
  void MixChanged();

  std::mutex api_;
  bool initialised_ = false;
  DWORD initFlags_ = 0;
  std::string driver_;
  std::uint32_t latencyMs_ = 0;
  std::unique_ptr<Output> output_;  // null while a lost output could not be opened again
  Output::Opener opener_ = nullptr;
  std::uint64_t lostAt_ = 0;  // the device frame heard when the output was lost
  Clock::time_point nextOpen_{};
  Clock::duration openDelay_{};
  std::map<DWORD, std::unique_ptr<Stream>> streams_;
  DWORD nextHandle_ = 1;

  mutable std::mutex mix_;
  std::uint32_t rate_ = 44100;
  std::vector<Stream*> playing_;
  std::vector<std::int32_t> mixBuffer_;
  std::uint64_t handed_ = 0;  // the device frame after the last one rendered

  LoadMeter meter_;
};

}  // namespace bass
