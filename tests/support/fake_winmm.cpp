// A waveOut device for the audio library's suites on Windows, built as a "winmm.dll" that a test
// program finds in its own folder before the system's (under wine: WINEDLLOVERRIDES=winmm=n,b).
// It plays what it is given at the pace of the clock and nowhere else, as SDL's dummy output
// does for the Linux build, and with FAKE_WAVEOUT_CAPTURE naming a file it also appends every
// frame there as it is played, as SDL's disk output does. FAKE_WAVEOUT_MISSING makes every open
// fail as on a machine without a sound device, and FakeWaveOutLoseDevices makes the open devices
// refuse every call, as a device that was unplugged does. Both variables are read at each open.
//
// Like the real device it gives headers back in order, marked done, setting the event it was
// opened with; waveOutReset gives back all and counts again from 0; the position is the count
// of frames played, which stands still while nothing is queued.
// Defining winmm's own functions, not importing them.
#define _WINMM_

#include <windows.h>

#include <mmsystem.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Windows' own lock and thread, not the C++ runtime's: this DLL carries no thread library.
class Lock {
 public:
  void lock() { ::AcquireSRWLockExclusive(&lock_); }
  void unlock() { ::ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class Guard {
 public:
  explicit Guard(Lock& lock) : lock_(lock) { lock_.lock(); }
  ~Guard() { lock_.unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  Lock& lock_;
};

struct Device {
  DWORD rate = 0;
  DWORD frameBytes = 0;
  HANDLE event = nullptr;
  FILE* capture = nullptr;
  std::deque<WAVEHDR*> queue;
  DWORD offset = 0;  // bytes of the front header played
  std::uint64_t played = 0;
  // Frames played when the clock was last set going; it stops while the queue is empty.
  Clock::time_point since{};
  std::uint64_t playedSince = 0;
  bool lost = false;

  // Plays what the clock says is due by now, giving back the headers played.
  void Play(Clock::time_point now) {
    const std::uint64_t due =
        playedSince + static_cast<std::uint64_t>(std::chrono::duration<double>(now - since).count() * rate);
    bool returned = false;
    while (!lost && played < due && !queue.empty()) {
      WAVEHDR* header = queue.front();
      const DWORD take = static_cast<DWORD>(
          std::min<std::uint64_t>((due - played) * frameBytes, header->dwBufferLength - offset));
      if (capture != nullptr) std::fwrite(header->lpData + offset, 1, take, capture);
      offset += take;
      played += take / frameBytes;
      if (offset >= header->dwBufferLength) {
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        queue.pop_front();
        offset = 0;
        returned = true;
      }
    }
    if (queue.empty()) {
      since = now;
      playedSince = played;
    }
    if (returned) ::SetEvent(event);
  }

  // Gives every queued header back, marked done.
  void ReturnAll() {
    for (WAVEHDR* header : queue) header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    queue.clear();
    offset = 0;
    ::SetEvent(event);
  }
};

Lock devicesLock;  // every device and all their state
std::set<Device*> devices;

// One thread plays every device, for the rest of the process: where wine's 32-bit side runs
// under qemu, threads that start and end in quick succession now and then bring the process
// down, so the device starts none with each open and ends none with each close. It starts with
// the first header written, from the library's own running thread.
DWORD WINAPI PlayEveryDevice(void*) {
  for (;;) {
    {
      Guard guard(devicesLock);
      const auto now = Clock::now();
      for (Device* device : devices) device->Play(now);
    }
    ::Sleep(2);
  }
}

void StartPlaying() {
  [[maybe_unused]] static const HANDLE thread =
      ::CreateThread(nullptr, 0, PlayEveryDevice, nullptr, 0, nullptr);
}

bool EnvironmentSays(const wchar_t* name, std::wstring* value = nullptr) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  if (value != nullptr) *value = buffer;
  return true;
}

// The device of `handle` while it is open; call with devicesLock held.
Device* Find(HWAVEOUT handle) {
  auto* device = reinterpret_cast<Device*>(handle);
  return devices.count(device) ? device : nullptr;
}

}  // namespace

extern "C" {

// Every device open now refuses all calls from here on, but closing.
void WINAPI FakeWaveOutLoseDevices() {
  Guard guard(devicesLock);
  for (Device* device : devices) device->lost = true;
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT handle, UINT, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR,
                            DWORD flags) {
  if (EnvironmentSays(L"FAKE_WAVEOUT_MISSING")) return MMSYSERR_BADDEVICEID;
  if (format == nullptr || format->wFormatTag != WAVE_FORMAT_PCM || format->nBlockAlign == 0)
    return WAVERR_BADFORMAT;
  if ((flags & CALLBACK_TYPEMASK) != CALLBACK_EVENT) return MMSYSERR_INVALPARAM;
  auto* device = new Device;
  device->rate = format->nSamplesPerSec;
  device->frameBytes = format->nBlockAlign;
  device->event = reinterpret_cast<HANDLE>(callback);
  std::wstring capture;
  if (EnvironmentSays(L"FAKE_WAVEOUT_CAPTURE", &capture)) device->capture = ::_wfopen(capture.c_str(), L"ab");
  device->since = Clock::now();
  Guard guard(devicesLock);
  devices.insert(device);
  *handle = reinterpret_cast<HWAVEOUT>(device);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT handle) {
  Guard guard(devicesLock);
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  devices.erase(device);
  if (device->capture != nullptr) std::fclose(device->capture);
  delete device;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  Guard guard(devicesLock);
  if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  Guard guard(devicesLock);
  if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  StartPlaying();
  Guard guard(devicesLock);
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  if (device->lost) return MMSYSERR_NODRIVER;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  device->queue.push_back(header);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT handle) {
  Guard guard(devicesLock);
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  device->ReturnAll();
  if (device->lost) return MMSYSERR_NODRIVER;
  device->played = device->playedSince = 0;
  device->since = Clock::now();
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT handle, LPMMTIME time, UINT) {
  Guard guard(devicesLock);
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  if (device->lost) return MMSYSERR_NODRIVER;
  time->wType = TIME_SAMPLES;
  time->u.sample = static_cast<DWORD>(device->played);
  return MMSYSERR_NOERROR;
}

}  // extern "C"
