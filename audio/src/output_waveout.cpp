// The output on Windows: waveOut (winmm) on the default device, fed by a thread of ours from a
// ring of headers that together hold about 90 ms of sound, the buffer of the Linux outputs.
// The device sets an event as each header comes back played, and the thread renders it anew
// and queues it again. waveOutReset takes back everything queued, so a change of the mix is
// heard at once: the device plays again from the frame being heard.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "bass/bass.h"
#include "output.h"

namespace bass {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kHeaders = 4;
constexpr std::uint32_t kBufferMilliseconds = 90;
// The thread also wakes this often without a header back, to notice a device that has stopped.
constexpr DWORD kWakeMilliseconds = 50;
// A device that keeps every header this long without playing any is taken as gone: removed
// drivers do not always say so through an error.
constexpr auto kStuckAfter = std::chrono::seconds(2);

class WaveOutOutput final : public Output {
 public:
  WaveOutOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source)
      : source_(source),
        rate_(rate),
        blockFrames_(std::max<std::uint32_t>(64, rate * kBufferMilliseconds / 1000 / kHeaders)),
        handed_(firstFrame),
        returned_(firstFrame),
        positionBase_(firstFrame),
        heard_(firstFrame) {}

  ~WaveOutOutput() override {
    {
      std::lock_guard lock(lock_);
      quit_ = true;
    }
    if (thread_.joinable()) {
      ::SetEvent(wake_);
      thread_.join();
    }
    if (device_ != nullptr) {
      ::waveOutReset(device_);
      for (Block& b : blocks_) {
        if (b.header.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(device_, &b.header, sizeof(WAVEHDR));
      }
      ::waveOutClose(device_);
    }
    if (wake_ != nullptr) ::CloseHandle(wake_);
  }

  int Open() {
    wake_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (wake_ == nullptr) return BASS_ERROR_MEM;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = rate_;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = rate_ * 4;
    if (::waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
      device_ = nullptr;
      return BASS_ERROR_DRIVER;
    }
    for (Block& b : blocks_) {
      b.samples.resize(std::size_t{blockFrames_} * 2);
      b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
      b.header.dwBufferLength = blockFrames_ * 4;
      if (::waveOutPrepareHeader(device_, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return BASS_ERROR_DRIVER;
    }
    lastReturn_ = Clock::now();
    thread_ = std::thread([this] { Run(); });
    return BASS_OK;
  }

  std::uint64_t HeardFrame() override {
    std::lock_guard lock(lock_);
    return HeardLocked();
  }

  bool Lost() override { return lost_.load(); }

  void Rewrite() override {
    {
      std::lock_guard lock(lock_);
      rewrite_ = true;
    }
    ::SetEvent(wake_);
  }

  const std::string& Driver() const override { return driver_; }
  std::uint32_t LatencyMilliseconds() const override {
    return static_cast<std::uint32_t>(std::uint64_t{blockFrames_} * kHeaders * 1000 / rate_);
  }
  Opener OpenerOfItsKind() const override { return OpenWaveOutOutput; }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<std::int16_t> samples;
    std::uint64_t start = 0;  // its first device frame
    bool queued = false;
  };

  void Run() {
    // Sound must not wait for the windows of the program that plays it.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    std::unique_lock lock(lock_);
    while (!quit_) {
      if (!lost_) {
        if (rewrite_) {
          rewrite_ = false;
          Restart();
        } else {
          Refill();
        }
      }
      lock.unlock();
      ::WaitForSingleObject(wake_, kWakeMilliseconds);
      lock.lock();
    }
  }

  // Queues again, oldest first, every header the device has played, and any not yet queued.
  // The ring's order is the order of play.
  void Refill() {
    for (std::size_t i = 0; i < kHeaders && !lost_; ++i) {
      Block& b = blocks_[oldest_];
      if (b.queued) {
        if (!(b.header.dwFlags & WHDR_DONE)) break;
        b.queued = false;
        returned_ = b.start + blockFrames_;
        lastReturn_ = Clock::now();
      }
      Queue(b);
      oldest_ = (oldest_ + 1) % kHeaders;
    }
    if (!lost_ && Clock::now() - lastReturn_ > kStuckAfter) lost_ = true;
  }

  void Queue(Block& b) {
    b.start = handed_;
    source_.Render(b.samples.data(), blockFrames_, handed_, HeardLocked());
    b.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    // A header the device did not take never comes back, and with none left nothing would be
    // heard again: any refusal means a device to open anew (typically MMSYSERR_NODRIVER once
    // it has been removed).
    if (::waveOutWrite(device_, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      lost_ = true;
      return;
    }
    b.queued = true;
    handed_ += blockFrames_;
  }

  // Takes back all the device holds and plays the mix again from the frame being heard.
  void Restart() {
    const std::uint64_t heard = HeardLocked();
    ::waveOutReset(device_);  // every header comes back, marked done
    for (Block& b : blocks_) b.queued = false;
    oldest_ = 0;
    positionBase_ = heard;
    counted_ = 0;
    // Whether the reset set the device's count back to 0 or not, it counts on from here.
    DWORD raw = 0;
    if (DevicePosition(raw)) lastRaw_ = raw;
    handed_ = returned_ = heard;
    lastReturn_ = Clock::now();
    Refill();
  }

  bool DevicePosition(DWORD& samples) {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    const MMRESULT result = ::waveOutGetPosition(device_, &time, sizeof(time));
    if (result == MMSYSERR_NODRIVER || result == MMSYSERR_BADDEVICEID) lost_ = true;
    if (result != MMSYSERR_NOERROR || time.wType != TIME_SAMPLES) return false;
    samples = time.u.sample;
    return true;
  }

  // The device's count of frames played, carried past its 32-bit wrap, between the frames
  // the device has given back and those queued; it never goes back.
  std::uint64_t HeardLocked() {
    std::uint64_t heard = returned_;
    DWORD raw = 0;
    if (!lost_ && DevicePosition(raw)) {
      counted_ += static_cast<DWORD>(raw - lastRaw_);
      lastRaw_ = raw;
      heard = std::clamp(positionBase_ + counted_, returned_, handed_);
    }
    heard_ = std::max(heard_, heard);
    return heard_;
  }

  OutputSource& source_;
  const std::uint32_t rate_;
  const std::uint32_t blockFrames_;
  const std::string driver_ = "waveout";
  HWAVEOUT device_ = nullptr;
  HANDLE wake_ = nullptr;  // set by the device as a header comes back, and by Rewrite
  std::thread thread_;
  std::atomic<bool> lost_{false};

  std::mutex lock_;  // all below, and every call of the device but opening and closing
  std::array<Block, kHeaders> blocks_;
  std::size_t oldest_ = 0;
  std::uint64_t handed_;    // the device frame after the last one queued
  std::uint64_t returned_;  // the device frame after the last header played
  // The device frame where counting began (the output's first, or the one heard at the last
  // reset), the frames the device has counted since, and its count when last asked.
  std::uint64_t positionBase_;
  std::uint64_t counted_ = 0;
  DWORD lastRaw_ = 0;
  std::uint64_t heard_;
  Clock::time_point lastReturn_{};
  bool rewrite_ = false;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<Output> OpenWaveOutOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                          int& error) {
  auto output = std::make_unique<WaveOutOutput>(rate, firstFrame, source);
  error = output->Open();
  if (error != BASS_OK) return nullptr;
  return output;
}

}  // namespace bass
