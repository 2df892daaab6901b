// The output through SDL2's audio: whatever driver SDL picks or SDL_AUDIODRIVER names
// (PulseAudio, PipeWire, ALSA, and the dummy and disk outputs the tests use). SDL pulls a
// fixed buffer at a time on its own thread; sound once handed over cannot be taken back.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

#include "bass/bass.h"
#include "output.h"

namespace bass {
namespace {

using Clock = std::chrono::steady_clock;

// SDL keeps state of its own (hints, driver lists) until it is told to quit. Nothing else in a
// process that loads this library uses SDL; this object is made when the library is loaded,
// so it goes after the engine, which closes its output first.
struct SdlAtUnload {
  ~SdlAtUnload() {
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
} sdlAtUnload;

// SDL's dummy and disk outputs take each buffer the moment it is due; a sound server keeps
// about one more buffer queued before it reaches the speaker.
bool QueuesOneMoreBuffer(const std::string& driver) { return driver != "dummy" && driver != "disk"; }

// The device buffer. A sound server wakes its client several times for every buffer, which
// costs more than decoding it, so there it is about 90 ms; SDL's dummy and disk outputs are
// a timer, and keep about 45 ms. The position stays exact to well under a buffer either way:
// it is run forward by the clock between buffers.
Uint16 BufferFramesFor(std::uint32_t rate, const std::string& driver) {
  const std::uint32_t milliseconds = QueuesOneMoreBuffer(driver) ? 80 : 40;
  Uint16 frames = 256;
  while (frames < 8192 && frames * 1000u < rate * milliseconds) frames *= 2;
  return frames;
}

class SdlOutput final : public Output {
 public:
  SdlOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source)
      : source_(source), rate_(rate), handed_(firstFrame), lastStart_(firstFrame), frozen_(firstFrame) {}

  ~SdlOutput() override {
    // Closing waits for SDL's thread to leave the callback.
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  int Open() {
    const char* driver = SDL_GetCurrentAudioDriver();
    driver_ = driver != nullptr ? driver : "";
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(rate_);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = BufferFramesFor(rate_, driver_);
    want.callback = Pull;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts if the hardware differs, so the mixer always works at
    // the rate the caller asked for.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return BASS_ERROR_DRIVER;
    bufferFrames_ = have.samples;
    outputDelay_ = QueuesOneMoreBuffer(driver_) ? have.samples : 0;
    lastTime_ = Clock::now();
    SDL_PauseAudioDevice(device_, 0);
    return BASS_OK;
  }

  std::uint64_t HeardFrame() override {
    std::lock_guard lock(clock_);
    const Clock::time_point now = Clock::now();
    return NoticeLoss(now) ? frozen_ : HeardAt(now);
  }

  bool Lost() override {
    std::lock_guard lock(clock_);
    return NoticeLoss(Clock::now());
  }

  void Rewrite() override {}

  const std::string& Driver() const override { return driver_; }
  std::uint32_t LatencyMilliseconds() const override { return bufferFrames_ * 1000 / rate_; }
  Opener OpenerOfItsKind() const override { return OpenSdlOutput; }

 private:
  // The newest buffer began at device frame lastStart_, holds lastFrames_ frames and was
  // handed over at lastTime_; the device plays it from then on, one queued buffer later.
  std::uint64_t HeardAt(Clock::time_point now) const {
    std::uint64_t played = 0;
    if (now > lastTime_) {
      auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastTime_).count();
      played = std::min(static_cast<std::uint64_t>(elapsed) * rate_ / 1000000000u, lastFrames_);
    }
    const std::uint64_t handedOut = lastStart_ + played;
    return std::max(handedOut - std::min(handedOut, outputDelay_), frozen_);
  }

  // A device SDL found gone (its server ended) is still called, at the pace of a clock, so
  // that programs without sound go on; none of that is heard. Under clock_.
  bool NoticeLoss(Clock::time_point now) {
    if (!lost_ && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
      frozen_ = HeardAt(now);
      lost_ = true;
    }
    return lost_;
  }

  static void Pull(void* self, Uint8* out, int bytes) { static_cast<SdlOutput*>(self)->Fill(out, bytes); }

  void Fill(Uint8* out, int bytes) {
    const Clock::time_point now = Clock::now();
    const std::size_t frames = static_cast<std::size_t>(bytes) / 4;
    std::memset(out, 0, static_cast<std::size_t>(bytes));
    std::uint64_t heard;
    {
      std::lock_guard lock(clock_);
      if (NoticeLoss(now)) return;
      heard = HeardAt(now);
    }
    source_.Render(reinterpret_cast<std::int16_t*>(out), frames, handed_, heard);
    std::lock_guard lock(clock_);
    lastStart_ = handed_;
    lastFrames_ = frames;
    lastTime_ = now;
    handed_ += frames;
  }

  OutputSource& source_;
  const std::uint32_t rate_;
  SDL_AudioDeviceID device_ = 0;
  std::string driver_;
  std::uint32_t bufferFrames_ = 0;
  std::uint64_t outputDelay_ = 0;  // device frames queued past the newest buffer's start
  std::uint64_t handed_;           // touched by SDL's thread only

  std::mutex clock_;
  std::uint64_t lastStart_;
  std::uint64_t lastFrames_ = 0;
  Clock::time_point lastTime_{};
  bool lost_ = false;
  std::uint64_t frozen_;  // the frame heard last when the device went; never heard before it
};

}  // namespace

std::unique_ptr<Output> OpenSdlOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                      int& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = BASS_ERROR_DRIVER;
    return nullptr;
  }
  auto output = std::make_unique<SdlOutput>(rate, firstFrame, source);
  error = output->Open();
  if (error != BASS_OK) return nullptr;  // its destructor quits the subsystem again
  return output;
}

}  // namespace bass
