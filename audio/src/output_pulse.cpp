// The output straight to a PulseAudio server (PipeWire's too). It keeps two paces. While a
// song plays the server holds a second of our sound and asks for more 400 ms at a time, and
// the device runs 100 ms ahead: few wake-ups on either side. Once the last sound of the
// playing songs is written, the server is told to hold 150 ms and to keep the device only
// 5 ms ahead (or as little as the device allows), so that by the time that sound has been
// heard, a new song can be heard within milliseconds: sound the server holds but has not
// handed to the device is taken back and written again whenever something starts or stops.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "bass/bass.h"
#include "output.h"

namespace bass {
namespace {

constexpr pa_usec_t kMillisecond = 1000;

// What the server holds for us and the size of its requests. With PA_STREAM_ADJUST_LATENCY
// the device gets (held - 2 x request) / 2 of it.
struct Pace {
  pa_usec_t held;
  pa_usec_t request;
};
constexpr Pace kSteady{1000 * kMillisecond, 400 * kMillisecond};  // the device 100 ms ahead
constexpr Pace kQuick{150 * kMillisecond, 70 * kMillisecond};     // the device 5 ms ahead
// Silence this long goes back to the steady pace: nothing new is about to start.
constexpr auto kQuickAtMost = std::chrono::seconds(2);

// Rewritten sound starts this far past what the device may already have taken: the time the
// sound takes to reach the server.
constexpr pa_usec_t kRewriteMargin = 2 * kMillisecond;
// A server that neither answers nor refuses is given up after this long; one slow to say where
// the sound stands is not waited for longer than this.
constexpr pa_usec_t kConnectTimeout = 2000 * kMillisecond;
constexpr pa_usec_t kAnswerTimeout = 100 * kMillisecond;

class PulseOutput final : public Output {
 public:
  PulseOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source)
      : source_(source), rate_(rate), first_(firstFrame) {}

  ~PulseOutput() override {
    // The loop's thread stops first, so no callback runs while the rest goes.
    if (loop_ != nullptr) pa_threaded_mainloop_stop(loop_);
    if (stream_ != nullptr) pa_stream_unref(stream_);
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    if (loop_ != nullptr) pa_threaded_mainloop_free(loop_);
  }

  bool Open() {
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), nullptr);
    if (context_ == nullptr) return false;
    pa_context_set_state_callback(context_, ContextChanged, this);
    // No server is started for us: without one, SDL's outputs are tried.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    if (pa_threaded_mainloop_start(loop_) < 0) return false;

    pa_threaded_mainloop_lock(loop_);
    const bool open = Connect();
    pa_threaded_mainloop_unlock(loop_);
    return open;
  }

  // From the copy of the server's last report: the player asks every 25 ms, and the loop's
  // lock is held by its thread while it talks to the server.
  std::uint64_t HeardFrame() override {
    std::lock_guard lock(timingLock_);
    return first_ + HeardFromReport();
  }

  bool Lost() override { return lost_.load(std::memory_order_relaxed); }

  void Rewrite() override {
    pa_threaded_mainloop_lock(loop_);
    // Where the sound heard stands, fresh from the server rather than run on from its last
    // report: a device that took its sound late takes it in a leap.
    if (pa_operation* op = lost_ ? nullptr : pa_stream_update_timing_info(stream_, Signal, loop_)) {
      WaitFor([op] {
        return pa_operation_get_state(op) == PA_OPERATION_RUNNING ? Progress::Waiting : Progress::Ready;
      }, kAnswerTimeout);
      pa_operation_unref(op);
    }
    // Before the server has begun to play the stream (it waits for a first buffer), sound
    // written over what it holds gets lost; the little silence written first plays out.
    const pa_timing_info* timing = lost_ ? nullptr : pa_stream_get_timing_info(stream_);
    if (timing != nullptr && timing->playing) {
      // The device holds at most its share beyond the sound heard, or what it says it holds
      // (more, when the stream was moved to a slower device, a Bluetooth headset).
      const std::uint64_t ahead = std::max(DeviceShare(), Frames(timing->sink_usec));
      const std::uint64_t from = HeardLocked() + ahead + Frames(kRewriteMargin);
      if (from < written_) Write(from, written_ - from);
    }
    pa_threaded_mainloop_unlock(loop_);
  }

  const std::string& Driver() const override { return driver_; }
  std::uint32_t LatencyMilliseconds() const override {
    return static_cast<std::uint32_t>(kSteady.held / kMillisecond);
  }
  Opener OpenerOfItsKind() const override { return OpenPulseOutput; }

 private:
  using Clock = std::chrono::steady_clock;

  std::uint64_t Frames(pa_usec_t usec) const { return usec * rate_ / PA_USEC_PER_SEC; }

  pa_buffer_attr Attributes(const Pace& pace) const {
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(pace.held, &spec_));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(pace.request, &spec_));
    attr.fragsize = static_cast<std::uint32_t>(-1);
    return attr;
  }

  // The device's share of what the server holds: what the server left of `pace` when it
  // granted it, or before that, what it is asked to leave.
  std::uint64_t Share(const Pace& pace, bool granted) const {
    const pa_buffer_attr* got = granted ? pa_stream_get_buffer_attr(stream_) : nullptr;
    const std::uint32_t held = Attributes(pace).tlength;
    if (got == nullptr) return Frames((pace.held - 2 * pace.request) / 2);
    return got->tlength < held ? (held - got->tlength) / 4 : 0;
  }

  // What the device may hold beyond the sound heard. After the quick pace is granted, the
  // device still plays out what it took at the steady one for a while.
  std::uint64_t DeviceShare() const {
    const auto settled = std::chrono::microseconds(steadyShare_ * PA_USEC_PER_SEC / rate_);
    return quickSince_ && Clock::now() - *quickSince_ >= settled ? quickShare_ : steadyShare_;
  }

  // Waits, with the loop locked, until the context and then the stream are ready.
  bool Connect() {
    const bool open = WaitFor([this] { return ContextProgress(); }, kConnectTimeout) && MakeStream() &&
                      WaitFor([this] { return StreamProgress(); }, kConnectTimeout);
    if (open) {
      quickShare_ = Share(kQuick, true);
      steadyShare_ = Share(kSteady, false);
      quickSince_ = Clock::now() - std::chrono::microseconds(kSteady.held);
    }
    return open;
  }

  enum class Progress { Waiting, Ready, Failed };

  // Waits, with the loop locked, until `progress()` is no longer Waiting; false when it failed,
  // the server went, or it took longer than `timeout`.
  template <class Check>
  bool WaitFor(Check progress, pa_usec_t timeout) {
    timedOut_ = false;
    pa_time_event* timer = pa_context_rttime_new(context_, pa_rtclock_now() + timeout, TimedOut, this);
    Progress now = progress();
    while (now == Progress::Waiting && !timedOut_ && !lost_) {
      pa_threaded_mainloop_wait(loop_);
      now = progress();
    }
    if (timer != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(timer);
    return now == Progress::Ready;
  }

  Progress ContextProgress() const {
    const pa_context_state_t state = pa_context_get_state(context_);
    if (state == PA_CONTEXT_READY) return Progress::Ready;
    return PA_CONTEXT_IS_GOOD(state) ? Progress::Waiting : Progress::Failed;
  }

  Progress StreamProgress() const {
    const pa_stream_state_t state = pa_stream_get_state(stream_);
    if (state == PA_STREAM_READY) return Progress::Ready;
    return PA_STREAM_IS_GOOD(state) ? Progress::Waiting : Progress::Failed;
  }

  // The stream starts at the quick pace: nothing plays yet, and the first song should start
  // at once.
  bool MakeStream() {
    spec_ = {PA_SAMPLE_S16NE, rate_, 2};
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    stream_ = pa_stream_new(context_, "Playback", &spec_, &map);
    if (stream_ == nullptr) return false;
    pa_stream_set_state_callback(stream_, StreamChanged, this);
    pa_stream_set_write_callback(stream_, Requested, this);
    pa_stream_set_latency_update_callback(stream_, TimingUpdated, this);
    const pa_buffer_attr attr = Attributes(kQuick);
    quick_ = true;
    quietSince_ = Clock::now();
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
    return pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) == 0;
  }

  // Asks the server for the quick or the steady pace.
  void SetPace(bool quick) {
    if (quick == quick_) return;
    quick_ = quick;
    quickSince_.reset();
    const pa_buffer_attr attr = Attributes(quick ? kQuick : kSteady);
    if (pa_operation* op = pa_stream_set_buffer_attr(stream_, &attr, PaceSet, this)) pa_operation_unref(op);
  }

  static void PaceSet(pa_stream*, int success, void* self) {
    auto* o = static_cast<PulseOutput*>(self);
    if (!success) return;
    if (!o->quick_) {
      o->steadyShare_ = o->Share(kSteady, true);
    } else if (!o->quickSince_) {
      o->quickShare_ = o->Share(kQuick, true);
      o->quickSince_ = Clock::now();
    }
  }

  // Copies what the server last said of the sound heard, and how far was written, for
  // HeardFrame. Called with the loop locked whenever either may have changed: after each
  // timing report and each write.
  void CopyReport() {
    const pa_timing_info* timing = lost_ ? nullptr : pa_stream_get_timing_info(stream_);
    std::lock_guard lock(timingLock_);
    report_.written = written_;
    report_.known = timing != nullptr && !timing->read_index_corrupt && timing->read_index >= 0;
    if (!report_.known) return;
    report_.heard = timing->read_index / 4 - static_cast<std::int64_t>(Frames(timing->sink_usec));
    report_.playing = timing->playing != 0;
    report_.at = timing->timestamp;
  }

  // The stream frame being heard: from the server's last timing report, run on by the clock
  // while the report says the stream plays (libpulse's own reckoning runs on also while the
  // device has not begun to take the stream, and then has to stand still until the sound
  // catches up); never back, and never past what was written. Under timingLock_.
  std::uint64_t HeardFromReport() {
    if (lost_ || !report_.known) return heard_;
    std::int64_t heard = report_.heard;
    if (report_.playing) {
      timeval now;
      pa_gettimeofday(&now);
      if (pa_timeval_cmp(&now, &report_.at) > 0)
        heard += static_cast<std::int64_t>(Frames(pa_timeval_diff(&now, &report_.at)));
    }
    heard_ =
        std::clamp(static_cast<std::uint64_t>(std::max<std::int64_t>(heard, 0)), heard_, report_.written);
    return heard_;
  }

  // HeardFromReport, fresh from libpulse. With the loop locked.
  std::uint64_t HeardLocked() {
    CopyReport();
    std::lock_guard lock(timingLock_);
    return HeardFromReport();
  }

  // Renders `frames` frames for stream frame `at` on and writes them there: past the end of
  // what was written, or over sound the server still holds. With the loop locked.
  void Write(std::uint64_t at, std::size_t frames) {
    if (frames == 0) return;
    buffer_.resize(frames * 2);
    const bool more = source_.Render(buffer_.data(), frames, first_ + at, first_ + HeardLocked());
    // A seek relative to the end keeps the server's count of the bytes it asked for the same
    // as the client's; the write ends where the last one did, or past it.
    const std::int64_t seek = (static_cast<std::int64_t>(at) - static_cast<std::int64_t>(written_)) * 4;
    if (pa_stream_write(stream_, buffer_.data(), frames * 4, nullptr, seek, PA_SEEK_RELATIVE) == 0) {
      written_ = std::max(written_, at + frames);
      CopyReport();
    }
    if (more) {
      SetPace(false);
      quietSince_.reset();
    } else {
      const Clock::time_point now = Clock::now();
      if (!quietSince_) quietSince_ = now;
      SetPace(now - *quietSince_ < kQuickAtMost);
    }
  }

  static void Requested(pa_stream*, size_t bytes, void* self) {
    auto* o = static_cast<PulseOutput*>(self);
    o->Write(o->written_, bytes / 4);
  }

  static void TimingUpdated(pa_stream*, void* self) { static_cast<PulseOutput*>(self)->CopyReport(); }

  static void ContextChanged(pa_context* context, void* self) {
    auto* o = static_cast<PulseOutput*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) o->lost_ = true;
    pa_threaded_mainloop_signal(o->loop_, 0);
  }

  static void StreamChanged(pa_stream* stream, void* self) {
    auto* o = static_cast<PulseOutput*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) o->lost_ = true;
    pa_threaded_mainloop_signal(o->loop_, 0);
  }

  static void Signal(pa_stream*, int, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
  }

  static void TimedOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    auto* o = static_cast<PulseOutput*>(self);
    o->timedOut_ = true;
    pa_threaded_mainloop_signal(o->loop_, 0);
  }

  OutputSource& source_;
  const std::uint32_t rate_;
  const std::uint64_t first_;  // the device frame of the stream's first frame
  const std::string driver_ = "pulseaudio";

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_sample_spec spec_{};
  std::atomic<bool> lost_{false};
  bool timedOut_ = false;

  // With the loop locked.
  std::uint64_t written_ = 0;      // stream frames written: the server's write index
  bool quick_ = false;
  std::uint64_t quickShare_ = 0;   // frames the device holds beyond the sound heard, at each pace
  std::uint64_t steadyShare_ = 0;
  std::optional<Clock::time_point> quickSince_;  // when the server granted the quick pace
  std::optional<Clock::time_point> quietSince_;  // since when only silence was written
  std::vector<std::int16_t> buffer_;

  // The server's last timing report as CopyReport left it, and what HeardFromReport made of it.
  struct Report {
    bool known = false;  // a report came, and its read index can be trusted
    bool playing = false;
    std::int64_t heard = 0;  // the stream frame heard at `at`
    timeval at{};
    std::uint64_t written = 0;
  };
  std::mutex timingLock_;
  Report report_;
  std::uint64_t heard_ = 0;  // the stream frame heard last; stays once the server is gone
};

}  // namespace

std::unique_ptr<Output> OpenPulseOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                        int& error) {
  auto output = std::make_unique<PulseOutput>(rate, firstFrame, source);
  if (!output->Open()) {
    error = BASS_ERROR_DRIVER;
    return nullptr;
  }
  error = BASS_OK;
  return output;
}

}  // namespace bass
