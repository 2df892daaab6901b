#include "engine.h"

#include <SDL.h>

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

void SdlPull(void* engine, Uint8* out, int bytes) {
  static_cast<Engine*>(engine)->Render(out, bytes);
}

// SDL's dummy and disk outputs take each buffer the moment it is due; a sound server
// keeps about one more buffer queued before it reaches the speaker.
bool QueuesOneMoreBuffer(const std::string& driver) { return driver != "dummy" && driver != "disk"; }

// The device buffer. A sound server wakes its client several times for every buffer, which
// costs more than decoding it, so there it is about 90 ms; SDL's dummy and disk outputs are
// a timer, and keep about 45 ms. The position stays exact to well under a buffer either way:
// it is run forward by the clock between buffers.
Uint16 BufferFramesFor(DWORD rate, const std::string& driver) {
  const DWORD milliseconds = QueuesOneMoreBuffer(driver) ? 80 : 40;
  Uint16 frames = 256;
  while (frames < 8192 && frames * 1000u < rate * milliseconds) frames *= 2;
  return frames;
}

}  // namespace

void Stream::Start(std::unique_ptr<Mp3Decoder> decoder, std::int64_t frame) {
  play_ = std::make_unique<Playback>();
  play_->decoder = std::move(decoder);
  play_->pcm.reserve(kReserveFrames * static_cast<std::size_t>(format_.channels));
  play_->pcmBase = frame;
  play_->next = frame;
  play_->handedAll = frame >= lengthFrames_;
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

void Stream::Fill(std::int64_t upTo) {
  Playback& p = *play_;
  upTo = std::min(upTo, lengthFrames_);
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  while (DecodedEnd() < upTo) {
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
  std::int64_t keep = p.segmentCount > 0 ? p.segments[p.segmentHead].sourceStart : p.next;
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
  const std::int64_t need = static_cast<std::int64_t>((p.phase + frames * step) >> 32) + 2;
  Fill(p.next + need + kAheadFrames);

  const int channels = format_.channels;
  const std::int64_t end = std::min(DecodedEnd(), lengthFrames_);
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

  if (n > 0) {
    if (p.segmentCount == Playback::kSegments) {
      p.segmentHead = (p.segmentHead + 1) % Playback::kSegments;
      --p.segmentCount;
    }
    p.segments[(p.segmentHead + p.segmentCount) % Playback::kSegments] = {deviceStart, n, start, p.next};
    ++p.segmentCount;
  }
  if (p.next >= lengthFrames_) {
    p.handedAll = true;
    // Nothing more will be decoded: let the file go now rather than at the end of the sound.
    p.decoder.reset();
  }
  Compact();
  return n;
}

bool Stream::Drained(std::uint64_t deviceFrame) const {
  const Playback& p = *play_;
  if (!p.handedAll) return false;
  if (p.segmentCount == 0) return true;
  const Segment& last = p.segments[(p.segmentHead + p.segmentCount - 1) % Playback::kSegments];
  return deviceFrame >= last.deviceStart + last.deviceFrames;
}

std::int64_t Stream::HeardFrame(std::uint64_t deviceFrame) const {
  if (state_ == State::Stopped) return stoppedAt_;
  if (state_ == State::Ended) return lengthFrames_;
  const Playback& p = *play_;
  if (p.segmentCount == 0) return p.next;
  const Segment& oldest = p.segments[p.segmentHead];
  if (deviceFrame < oldest.deviceStart) return oldest.sourceStart;
  for (std::size_t i = p.segmentCount; i-- > 0;) {
    const Segment& s = p.segments[(p.segmentHead + i) % Playback::kSegments];
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
  std::int64_t end = std::min(DecodedEnd(), lengthFrames_);
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
  // A device that was not freed is closed first: its audio thread calls into this object.
  if (initialised_) Free();
  // SDL keeps state of its own (hints, driver lists) until it is told to quit; nothing else
  // in a process that loads this library uses SDL.
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
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
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return BASS_ERROR_DRIVER;

  const char* driver = SDL_GetCurrentAudioDriver();
  driver_ = driver != nullptr ? driver : "";
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(freq);
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = BufferFramesFor(freq, driver_);
  want.callback = SdlPull;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts if the hardware differs, so the mixer always works
  // at the rate the caller asked for.
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return BASS_ERROR_DRIVER;
  }
  {
    std::lock_guard mix(mix_);
    rate_ = freq;
    bufferFrames_ = have.samples;
    outputDelay_ = QueuesOneMoreBuffer(driver_) ? have.samples : 0;
    mixBuffer_.assign(static_cast<std::size_t>(have.samples) * 2, 0);
    playing_.clear();
    handed_ = lastStart_ = lastFrames_ = 0;
    lastTime_ = Clock::now();
    meterStart_ = lastTime_;
    busy_ = {};
  }
  cpu_.store(0.0f);
  device_ = id;
  initFlags_ = flags;
  initialised_ = true;
  SDL_PauseAudioDevice(id, 0);
  return BASS_OK;
}

int Engine::Free() {
  std::lock_guard api(api_);
  if (!initialised_) return BASS_ERROR_INIT;
  // Closing waits for the audio thread to finish, so no stream is in use after it.
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  {
    std::lock_guard mix(mix_);
    playing_.clear();
  }
  streams_.clear();
  cpu_.store(0.0f);
  initialised_ = false;
  return BASS_OK;
}

int Engine::GetInfo(BASS_INFO& info) {
  std::lock_guard api(api_);
  if (!initialised_) return BASS_ERROR_INIT;
  std::lock_guard mix(mix_);
  info = {};
  info.minrate = info.maxrate = rate_;
  info.eax = FALSE;
  info.minbuf = info.latency = bufferFrames_ * 1000 / rate_;
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
  if (SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_PLAYING) return BASS_ERROR_START;

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

  std::lock_guard mix(mix_);
  stream->Start(std::move(decoder), from);
  playing_.push_back(stream);
  return BASS_OK;
}

int Engine::Stop(DWORD handle) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  std::unique_ptr<Playback> play;
  {
    std::lock_guard mix(mix_);
    if (stream->state() != Stream::State::Playing) return BASS_OK;
    std::int64_t heard = stream->HeardFrame(HeardDeviceFrame(Clock::now()));
    RemovePlaying(stream);
    play = heard >= stream->lengthFrames() ? stream->End() : stream->Stop(heard);
  }
  return BASS_OK;  // the decoder and the buffers are freed here, outside the mix lock
}

int Engine::FreeStream(DWORD handle) {
  std::lock_guard api(api_);
  auto it = streams_.find(handle);
  if (it == streams_.end()) return BASS_ERROR_HANDLE;
  std::unique_ptr<Stream> stream = std::move(it->second);
  streams_.erase(it);
  {
    std::lock_guard mix(mix_);
    RemovePlaying(stream.get());
  }
  return BASS_OK;  // the stream goes here, outside the mix lock
}

std::uint64_t Engine::HeardDeviceFrame(Clock::time_point now) const {
  std::uint64_t played = 0;
  if (now > lastTime_) {
    auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastTime_).count();
    played = std::min(static_cast<std::uint64_t>(elapsed) * rate_ / 1000000000u, lastFrames_);
  }
  const std::uint64_t handedOut = lastStart_ + played;
  return handedOut > outputDelay_ ? handedOut - outputDelay_ : 0;
}

int Engine::Position(DWORD handle, QWORD& bytes) {
  std::lock_guard api(api_);
  Stream* stream = Find(handle);
  if (stream == nullptr) return BASS_ERROR_HANDLE;
  std::lock_guard mix(mix_);
  std::int64_t frame = stream->HeardFrame(HeardDeviceFrame(Clock::now()));
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
  std::lock_guard mix(mix_);
  if (stream->state() != Stream::State::Playing) return BASS_ERROR_NOPLAY;
  std::int64_t heard = stream->HeardFrame(HeardDeviceFrame(Clock::now()));
  if (length == BASS_DATA_AVAILABLE) {
    copied = static_cast<DWORD>(stream->AvailableFrom(heard));
    return BASS_OK;
  }
  copied = static_cast<DWORD>(stream->CopyFrom(heard, static_cast<std::uint8_t*>(buffer), length));
  return BASS_OK;
}

void Engine::Render(std::uint8_t* out, int bytes) {
  const Clock::time_point begin = Clock::now();
  const std::size_t frames = static_cast<std::size_t>(bytes) / 4;
  {
    std::lock_guard mix(mix_);
    const std::uint64_t deviceStart = handed_;
    const std::uint64_t heardNow = deviceStart > outputDelay_ ? deviceStart - outputDelay_ : 0;
    if (mixBuffer_.size() < frames * 2) mixBuffer_.resize(frames * 2);
    std::fill_n(mixBuffer_.begin(), frames * 2, 0);

    for (std::size_t i = 0; i < playing_.size();) {
      Stream* s = playing_[i];
      if (s->Drained(heardNow)) {
        s->End();  // its decoder is gone already; the buffers are freed here
        playing_.erase(playing_.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      std::uint64_t step = (static_cast<std::uint64_t>(s->format().rate) << 32) / rate_;
      s->Render(mixBuffer_.data(), frames, deviceStart, step);
      ++i;
    }

    auto* pcm = reinterpret_cast<std::int16_t*>(out);
    for (std::size_t i = 0; i < frames * 2; ++i)
      pcm[i] = static_cast<std::int16_t>(std::clamp(mixBuffer_[i], -32768, 32767));

    handed_ += frames;
    lastStart_ = deviceStart;
    lastFrames_ = frames;
    lastTime_ = begin;

    const Clock::time_point end = Clock::now();
    busy_ += end - begin;
    if (end - meterStart_ >= std::chrono::milliseconds(500)) {
      double share = std::chrono::duration<double>(busy_).count() /
                     std::chrono::duration<double>(end - meterStart_).count();
      cpu_.store(static_cast<float>(share * 100.0), std::memory_order_relaxed);
      meterStart_ = end;
      busy_ = {};
    }
  }
  if (bytes % 4 != 0) std::memset(out + frames * 4, 0, static_cast<std::size_t>(bytes % 4));
}

}  // namespace bass
