#include "engine.h"

#include <algorithm>
#include <cstring>

namespace bass {
namespace {

constexpr std::uint64_t kUnitStep = std::uint64_t{1} << 32;
// Enough decoded history behind the sound being heard to answer GetData, and a margin
// before the buffer is compacted.
constexpr std::int64_t kCompactFrames = 8192;
constexpr std::size_t kReserveFrames = 32768;
// Decoded ahead of the device, so that GetData near the end of a device buffer still
// finds what will be heard next.
constexpr std::int64_t kAheadFrames = 2048;
// Decoded before a stream is handed to the output: more than a sound server's whole buffer,
// so that the first buffers of a new song cost the output's thread a copy, not a decode.
constexpr std::int64_t kFirstFrames = 12288;
// A lost output is opened again at the next play, and otherwise first after this delay,
// doubling while the device stays away, up to the longest.
constexpr auto kFirstOpenDelay = std::chrono::milliseconds(250);
constexpr auto kLongestOpenDelay = std::chrono::seconds(2);

}  // namespace

std::unique_ptr<Playback> Stream::Prepare(std::unique_ptr<Mp3Decoder> decoder, std::int64_t frame) const {
  auto play = std::make_unique<Playback>();
  play->decoder = std::move(decoder);
  play->pcm.reserve(kReserveFrames * static_cast<std::size_t>(format_.channels));
  play->pcmBase = frame;
  play->next = frame;
  play->handedAll = frame >= lengthFrames_;
  Fill(*play, frame + kFirstFrames);
  return play;
}

void Stream::Start(std::unique_ptr<Playback> play) {
  play_ = std::move(play);
  state_ = State::Playing;
}

std::unique_ptr<Playback> Stream::Stop(std::int64_t frame) {
  stoppedAt_ = frame;
  state_ = State::Stopped;
  return std::move(play_);
}

std::unique_ptr<Playback> Stream::End() {
  std::unique_ptr<Playback> play = Stop(lengthFrames_);
  state_ = State::Ended;
  return play;
}

void Stream::Fill(Playback& p, std::int64_t upTo) const {
  upTo = std::min(upTo, lengthFrames_);
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  while (DecodedEnd(p) < upTo) {
    std::size_t have = p.pcm.size();
    std::size_t want = static_cast<std::size_t>(upTo - p.pcmBase) * channels;
    if (p.decoderDone || p.decoder == nullptr) {
      // A stream that decodes to fewer frames than its scan found (a damaged file) is
      // completed with silence, so that its position still reaches its length.
      p.pcm.resize(want, 0);
      break;
    }
    p.pcm.resize(want);
    std::size_t got = p.decoder->Read(p.pcm.data() + have, want - have);
    p.pcm.resize(have + got);
    if (got < want - have) p.decoderDone = true;
  }
}

void Stream::Compact() {
  Playback& p = *play_;
  std::int64_t keep = p.segments.empty() ? p.next : p.segments.front().sourceStart;
  if (keep - p.pcmBase < kCompactFrames) return;
  std::size_t drop = static_cast<std::size_t>(keep - p.pcmBase) * static_cast<std::size_t>(format_.channels);
  p.pcm.erase(p.pcm.begin(), p.pcm.begin() + static_cast<std::ptrdiff_t>(std::min(drop, p.pcm.size())));
  p.pcmBase = keep;
}

std::size_t Stream::Render(std::int32_t* mix, std::size_t frames, std::uint64_t deviceStart,
                           std::uint64_t step) {
  Playback& p = *play_;
  if (p.handedAll) return 0;
  const std::int64_t start = p.next;
  const std::uint32_t startPhase = p.phase;
  const std::int64_t need = static_cast<std::int64_t>((p.phase + frames * step) >> 32) + 2;
  Fill(p, p.next + need + kAheadFrames);

  const int channels = format_.channels;
  const std::int64_t end = std::min(DecodedEnd(p), lengthFrames_);
  std::size_t n = 0;
  if (step == kUnitStep && p.phase == 0) {
    n = static_cast<std::size_t>(
        std::clamp<std::int64_t>(end - p.next, 0, static_cast<std::int64_t>(frames)));
    const std::int16_t* in = p.pcm.data() + (p.next - p.pcmBase) * channels;
    for (std::size_t i = 0; i < n; ++i, in += channels) {
      mix[2 * i] += in[0];
      mix[2 * i + 1] += in[channels - 1];
    }
    p.next += static_cast<std::int64_t>(n);
  } else {
    // Linear interpolation between neighbouring source frames; the last frame is held.
    while (n < frames && p.next < end) {
      const std::int16_t* a = p.pcm.data() + (p.next - p.pcmBase) * channels;
      const std::int16_t* b = p.next + 1 < end ? a + channels : a;
      const std::int64_t f = p.phase;
      mix[2 * n] += static_cast<std::int32_t>(a[0] + ((b[0] - a[0]) * f >> 32));
      mix[2 * n + 1] +=
          static_cast<std::int32_t>(a[channels - 1] + ((b[channels - 1] - a[channels - 1]) * f >> 32));
      const std::uint64_t advanced = p.phase + step;
      p.next += static_cast<std::int64_t>(advanced >> 32);
      p.phase = static_cast<std::uint32_t>(advanced);
      ++n;
    }
    p.next = std::min(p.next, lengthFrames_);
  }

  if (n > 0) p.segments.push_back({deviceStart, n, start, p.next, startPhase});
  if (p.next >= lengthFrames_) {
    p.handedAll = true;
    // Nothing more will be decoded: let the file go now rather than at the end of the sound.
    p.decoder.reset();
  }
  Compact();
  return n;
}

void Stream::Rewind(std::uint64_t deviceFrame, std::uint64_t step) {
  Playback& p = *play_;
  while (!p.segments.empty()) {
    Segment& s = p.segments.back();
    if (s.deviceStart >= deviceFrame) {
      p.next = s.sourceStart;
      p.phase = s.phaseStart;
      p.segments.pop_back();
      continue;
    }
    if (s.deviceStart + s.deviceFrames > deviceFrame) {
      // Rendering is exact arithmetic, so the stream stands where it stood then.
      const std::uint64_t into = deviceFrame - s.deviceStart;
      const std::uint64_t advanced = s.phaseStart + into * step;
      p.next = s.sourceStart + static_cast<std::int64_t>(advanced >> 32);
      p.phase = static_cast<std::uint32_t>(advanced);
      s.deviceFrames = into;
      s.sourceEnd = p.next;
    }
    break;
  }
  // Whatever was decoded to the end is still there; only the file is not.
  p.handedAll = p.next >= lengthFrames_;
}

void Stream::Forget(std::uint64_t heard) {
  Playback& p = *play_;
  // The newest stays: it tells where the sound heard stands once everything was played.
  std::size_t done = 0;
  while (done + 1 < p.segments.size() &&
         p.segments[done].deviceStart + p.segments[done].deviceFrames <= heard)
    ++done;
  p.segments.erase(p.segments.begin(), p.segments.begin() + static_cast<std::ptrdiff_t>(done));
}

bool Stream::Drained(std::uint64_t deviceFrame) const {
  const Playback& p = *play_;
  if (!p.handedAll) return false;
  if (p.segments.empty()) return true;
  const Segment& last = p.segments.back();
  return deviceFrame >= last.deviceStart + last.deviceFrames;
}

std::int64_t Stream::HeardFrame(std::uint64_t deviceFrame) const {
  if (state_ == State::Stopped) return stoppedAt_;
  if (state_ == State::Ended) return lengthFrames_;
  const Playback& p = *play_;
  if (p.segments.empty()) return p.next;
  const Segment& oldest = p.segments.front();
  if (deviceFrame < oldest.deviceStart) return oldest.sourceStart;
  for (std::size_t i = p.segments.size(); i-- > 0;) {
    const Segment& s = p.segments[i];
    if (deviceFrame < s.deviceStart) continue;
    std::uint64_t into = std::min(deviceFrame - s.deviceStart, s.deviceFrames);
    std::int64_t frame =
        s.sourceStart + static_cast<std::int64_t>(
                            into * static_cast<std::uint64_t>(s.sourceEnd - s.sourceStart) / s.deviceFrames);
    return std::min(frame, lengthFrames_);
  }
  return oldest.sourceStart;
}

std::size_t Stream::AvailableFrom(std::int64_t frame) const {
  if (!play_) return 0;
  frame = std::max(frame, play_->pcmBase);
  std::int64_t end = std::min(DecodedEnd(*play_), lengthFrames_);
  return end > frame ? static_cast<std::size_t>(end - frame) * static_cast<std::size_t>(bytesPerFrame()) : 0;
}

std::size_t Stream::CopyFrom(std::int64_t frame, std::uint8_t* out, std::size_t bytes) const {
  if (!play_) return 0;
  frame = std::max(frame, play_->pcmBase);
  std::size_t n = std::min(bytes, AvailableFrom(frame));
  if (n > 0) std::memcpy(out, play_->pcm.data() + (frame - play_->pcmBase) * format_.channels, n);
  return n;
}

Engine& Engine::Instance() {
  // Destroyed when the library is unloaded or the process ends, so that an unload leaves
  // nothing behind.
  static Engine engine;
  return engine;
}

Engine::~Engine() {
  if (ProcessEnding()) {
    // The output's thread is gone, maybe holding a lock; waiting for it would keep the process
    // from ending. The system takes back the device, the files and the memory.
    output_.release();
    for (auto& [handle, stream] : streams_) stream.release();
    return;
  }
  // An output that was not freed is closed first: its thread calls into this object.
  if (initialised_) Free();
}

Stream* Engine::Find(DWORD handle) {
  auto it = streams_.find(handle);
  return it == streams_.end() ? nullptr : it->second.get();
}

int Engine::Init(int device, DWORD freq, DWORD flags) {
  std::lock_guard api(api_);
  if (initialised_) return BASS_ERROR_ALREADY;
  if (device != -1 && device != 1) return BASS_ERROR_DEVICE;
  if (freq < 8000 || freq > 192000) return BASS_ERROR_ILLPARAM;
  {
    // The output may pull before it is even handed back.
    std::lock_guard mix(mix_);
    rate_ = freq;
    playing_.clear();
    handed_ = 0;
  }
  meter_.Reset();
  int error = BASS_OK;
  output_ = OpenOutput(freq, 0, *this, error);
  if (!output_) return error;
  opener_ = output_->OpenerOfItsKind();
  driver_ = output_->Driver();
  latencyMs_ = output_->LatencyMilliseconds();
  lostAt_ = 0;
  nextOpen_ = {};
  openDelay_ = kFirstOpenDelay;
  initFlags_ = flags;
  initialised_ = true;
  return BASS_OK;
}

int Engine::Free() {
  std::lock_guard api(api_);
  if (!initialised_) return BASS_ERROR_INIT;
  // Closing waits for the output's thread to finish, so no stream is in use after it.
  output_.reset();
  {
    std::lock_guard mix(mix_);
    playing_.clear();
  }
  streams_.clear();
  meter_.Reset();
  initialised_ = false;
  return BASS_OK;
}

bool Engine::KeepOutput(bool now) {
  if (output_ && !output_->Lost()) return true;
  const Clock::time_point time = Clock::now();
  if (!now && time < nextOpen_) return false;
  if (output_) {
    lostAt_ = output_->HeardFrame();
    output_.reset();
  }
  // The new output goes on from the sound heard last: the streams that were playing go back
  // there and are heard again from where they fell silent.
  int error = BASS_OK;
  output_ = opener_(rate_, lostAt_, *this, error);
  if (!output_) {
    nextOpen_ = time + openDelay_;
    openDelay_ = std::min<Clock::duration>(openDelay_ * 2, kLongestOpenDelay);
    return false;
  }
  if (output_->Driver() != driver_) driver_ = output_->Driver();
  latencyMs_ = output_->LatencyMilliseconds();
  openDelay_ = kFirstOpenDelay;
  return true;
}

std::uint64_t Engine::HeardNow() {
  KeepOutput(false);
  return output_ ? output_->HeardFrame() : lostAt_;
}

void Engine::MixChanged() {
  if (output_) output_->Rewrite();
}

int Engine::GetInfo(BASS_INFO& info) {
  std::lock_guard api(api_);
  if (!initialised_) return BASS_ERROR_INIT;
  std::lock_guard mix(mix_);
  info = {};
  info.minrate = info.maxrate = rate_;
  info.eax = FALSE;
  info.minbuf = info.latency = latencyMs_;
  info.dsver = 9;
  info.initflags = initFlags_;
  info.speakers = 2;
  info.driver = driver_.c_str();
  return BASS_OK;
}

int Engine::CreateStream(const Source& source, DWORD flags, HSTREAM& handle) {
  std::lock_guard api(api_);
  if (!initialised_) return BASS_ERROR_INIT;
  if (flags & (BASS_SAMPLE_8BITS | BASS_SAMPLE_FLOAT)) return BASS_ERROR_FORMAT;
  if (flags & ~DWORD{BASS_SAMPLE_SOFTWARE | BASS_STREAM_PRESCAN}) return BASS_ERROR_ILLPARAM;

  int error = BASS_OK;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::Open(source, nullptr, error);
  if (!decoder) return error;
  // The stream's one scan: playing and resuming open the file again without one.
  const ScanResult scan = decoder->Scan();
  if (scan.frames <= 0) return BASS_ERROR_FILEFORM;
  // The stream starts stopped, and a stopped stream holds no decoder or file.
  decoder.reset();

  DWORD id = nextHandle_++;
  if (nextHandle_ == 0) nextHandle_ = 1;
  streams_[id] = std::make_unique<Stream>(source, scan, flags);
  handle = id;
  return BASS_OK;
}

void Engine::RemovePlaying(Stream* stream) {
  playing_.erase(std::remove(playing_.begin(), playing_.end(), stream), playing_.end());
}

int Engine::Play(DWORD handle, bool restart) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  if (!KeepOutput(true)) return BASS_ERROR_START;

  std::int64_t from = 0;
  std::unique_ptr<Playback> old;
  {
    std::lock_guard mix(mix_);
    if (stream->state() == Stream::State::Playing) {
      if (!restart) return BASS_OK;
      RemovePlaying(stream);
      old = stream->Stop(0);
    } else if (stream->state() == Stream::State::Stopped && !restart) {
      from = stream->stoppedAt();
    }
  }
  if (from >= stream->lengthFrames()) from = 0;

  int error = BASS_OK;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::Open(stream->source(), &stream->scan(), error);
  if (!decoder) return error;
  if (from > 0 && !decoder->SeekFrame(from)) return BASS_ERROR_FILEFORM;
  std::unique_ptr<Playback> play = stream->Prepare(std::move(decoder), from);
  {
    std::lock_guard mix(mix_);
    stream->Start(std::move(play));
    playing_.push_back(stream);
  }
  MixChanged();
  return BASS_OK;
}

int Engine::Stop(DWORD handle) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  const std::uint64_t heard = HeardNow();
  std::unique_ptr<Playback> play;
  bool ended = false;
  {
    std::lock_guard mix(mix_);
    if (stream->state() != Stream::State::Playing) return BASS_OK;
    std::int64_t frame = stream->HeardFrame(heard);
    RemovePlaying(stream);
    ended = frame >= stream->lengthFrames();
    play = ended ? stream->End() : stream->Stop(frame);
  }
  // A stream heard to its end leaves nothing but silence to take back.
  if (!ended) MixChanged();
  return BASS_OK;  // the decoder and the buffers are freed here, outside the mix lock
}

int Engine::FreeStream(DWORD handle) {
  std::lock_guard api(api_);
  auto it = streams_.find(handle);
  if (it == streams_.end()) return BASS_ERROR_HANDLE;
  std::unique_ptr<Stream> stream = std::move(it->second);
  streams_.erase(it);
  const std::uint64_t heard = HeardNow();
  bool audible = false;
  {
    std::lock_guard mix(mix_);
    audible = stream->state() == Stream::State::Playing && stream->HeardFrame(heard) < stream->lengthFrames();
    RemovePlaying(stream.get());
  }
  if (audible) MixChanged();
  return BASS_OK;  // the stream goes here, outside the mix lock
}

int Engine::Position(DWORD handle, QWORD& bytes) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  const std::uint64_t heard = HeardNow();
  std::lock_guard mix(mix_);
  std::int64_t frame = stream->HeardFrame(heard);
  bytes = static_cast<QWORD>(frame) * static_cast<QWORD>(stream->bytesPerFrame());
  return BASS_OK;
}

int Engine::Length(DWORD handle, QWORD& bytes) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  bytes = static_cast<QWORD>(stream->lengthFrames()) * static_cast<QWORD>(stream->bytesPerFrame());
  return BASS_OK;
}

int Engine::Seconds(DWORD handle, QWORD bytes, float& seconds) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  double perSecond =
      static_cast<double>(stream->format().rate) * static_cast<double>(stream->bytesPerFrame());
  seconds = static_cast<float>(static_cast<double>(bytes) / perSecond);
  return BASS_OK;
}

int Engine::Attributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  if (freq != nullptr) *freq = static_cast<DWORD>(stream->format().rate);
  if (volume != nullptr) *volume = 100;
  if (pan != nullptr) *pan = 0;
  return BASS_OK;
}

int Engine::Info(DWORD handle, BASS_CHANNELINFO& info) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  info.freq = static_cast<DWORD>(stream->format().rate);
  info.chans = static_cast<DWORD>(stream->format().channels);
  info.flags = stream->flags();
  info.ctype = stream->format().layer == 1   ? BASS_CTYPE_STREAM_MP1
               : stream->format().layer == 2 ? BASS_CTYPE_STREAM_MP2
                                             : BASS_CTYPE_STREAM_MP3;
  info.origres = 0;
  return BASS_OK;
}

int Engine::Data(DWORD handle, void* buffer, DWORD length, DWORD& copied) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  if (length & BASS_DATA_FLAGS) return BASS_ERROR_ILLPARAM;
  if (buffer == nullptr && length != BASS_DATA_AVAILABLE) return BASS_ERROR_ILLPARAM;
  const std::uint64_t heard = HeardNow();
  std::lock_guard mix(mix_);
  if (stream->state() != Stream::State::Playing) return BASS_ERROR_NOPLAY;
  std::int64_t frame = stream->HeardFrame(heard);
  if (length == BASS_DATA_AVAILABLE) {
    copied = static_cast<DWORD>(stream->AvailableFrom(frame));
    return BASS_OK;
  }
  copied = static_cast<DWORD>(stream->CopyFrom(frame, static_cast<std::uint8_t*>(buffer), length));
  return BASS_OK;
}

bool Engine::Render(std::int16_t* out, std::size_t frames, std::uint64_t first, std::uint64_t heard) {
  const Clock::time_point begin = Clock::now();
  std::lock_guard mix(mix_);
  // A device that gave sound back asks for it again: the streams go back to where they stood.
  const bool again = first < handed_;
  if (mixBuffer_.size() < frames * 2) mixBuffer_.resize(frames * 2);
  std::fill_n(mixBuffer_.begin(), frames * 2, 0);

  bool more = false;
  for (std::size_t i = 0; i < playing_.size();) {
    Stream* s = playing_[i];
    const std::uint64_t step = (static_cast<std::uint64_t>(s->format().rate) << 32) / rate_;
    if (again) s->Rewind(first, step);
    s->Forget(heard);
    if (s->Drained(heard)) {
      s->End();  // its decoder is gone already; the buffers are freed here
      playing_.erase(playing_.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    s->Render(mixBuffer_.data(), frames, first, step);
    more = more || !s->HandedAll();
    ++i;
  }

  for (std::size_t i = 0; i < frames * 2; ++i)
    out[i] = static_cast<std::int16_t>(std::clamp(mixBuffer_[i], -32768, 32767));
  handed_ = first + frames;

  meter_.Add(Clock::now() - begin, static_cast<double>(frames) / rate_);
  return more;
}

void LoadMeter::Reset() {
  std::lock_guard lock(lock_);
  filling_ = {};
  done_[0] = done_[1] = {};
}

void LoadMeter::Roll() {
  const std::int64_t now = Clock::now().time_since_epoch() / kStep;
  if (now == slot_) return;
  done_[1] = now == slot_ + 1 ? done_[0] : now == slot_ + 2 ? filling_ : Slot{};
  done_[0] = now == slot_ + 1 ? filling_ : Slot{};
  filling_ = {};
  slot_ = now;
}

void LoadMeter::Add(Clock::duration busy, double seconds) {
  std::lock_guard lock(lock_);
  Roll();
  filling_.busy += busy;
  filling_.seconds += seconds;
}

float LoadMeter::Percent() {
  std::lock_guard lock(lock_);
  Roll();
  const double seconds = done_[0].seconds + done_[1].seconds;
  if (seconds <= 0) return 0.0f;
  return static_cast<float>(std::chrono::duration<double>(done_[0].busy + done_[1].busy).count() / seconds * 100.0);
}

}  // namespace bass
