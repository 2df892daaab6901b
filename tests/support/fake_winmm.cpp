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
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Device {
  DWORD rate = 0;
  DWORD frameBytes = 0;
  HANDLE event = nullptr;
  FILE* capture = nullptr;
  std::thread thread;

  std::mutex lock;  // all below
  std::deque<WAVEHDR*> queue;
  DWORD offset = 0;  // bytes of the front header played
  std::uint64_t played = 0;
  // Frames played when the clock was last set going; it stops while the queue is empty.
  Clock::time_point since{};
  std::uint64_t playedSince = 0;
  bool lost = false;
  bool quit = false;

  void Play() {
    std::unique_lock guard(lock);
    while (!quit) {
      const auto now = Clock::now();
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
      guard.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      guard.lock();
    }
  }

  // Gives every queued header back, marked done.
  void ReturnAll() {
    for (WAVEHDR* header : queue) header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    queue.clear();
    offset = 0;
    ::SetEvent(event);
  }
};

std::mutex devicesLock;
std::set<Device*> devices;

bool EnvironmentSays(const wchar_t* name, std::wstring* value = nullptr) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  if (value != nullptr) *value = buffer;
  return true;
}

Device* Find(HWAVEOUT handle) {
  std::lock_guard guard(devicesLock);
  auto* device = reinterpret_cast<Device*>(handle);
  return devices.count(device) ? device : nullptr;
}

}  // namespace

extern "C" {

// Every device open now refuses all calls from here on, but closing.
void WINAPI FakeWaveOutLoseDevices() {
  std::lock_guard guard(devicesLock);
  for (Device* device : devices) {
    std::lock_guard deviceGuard(device->lock);
    device->lost = true;
  }
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT handle, UINT, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR,
                            DWORD flags) {
  if (EnvironmentSays(L"FAKE_WAVEOUT_MISSING")) return MMSYSERR_BADDEVICEID;
  if (format == nullptr || format->wFormatTag != WAVE_FORMAT_PCM || format->nBlockAlign == 0) return WAVERR_BADFORMAT;
  if ((flags & CALLBACK_TYPEMASK) != CALLBACK_EVENT) return MMSYSERR_INVALPARAM;
  auto* device = new Device;
  device->rate = format->nSamplesPerSec;
  device->frameBytes = format->nBlockAlign;
  device->event = reinterpret_cast<HANDLE>(callback);
  std::wstring capture;
  if (EnvironmentSays(L"FAKE_WAVEOUT_CAPTURE", &capture)) device->capture = ::_wfopen(capture.c_str(), L"ab");
  device->since = Clock::now();
  device->thread = std::thread([device] { device->Play(); });
  {
    std::lock_guard guard(devicesLock);
    devices.insert(device);
  }
  *handle = reinterpret_cast<HWAVEOUT>(device);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT handle) {
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  {
    std::lock_guard guard(devicesLock);
    devices.erase(device);
  }
  {
    std::lock_guard guard(device->lock);
    device->quit = true;
  }
  device->thread.join();
  if (device->capture != nullptr) std::fclose(device->capture);
  delete device;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT) {
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  std::lock_guard guard(device->lock);
  if (device->lost) return MMSYSERR_NODRIVER;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  device->queue.push_back(header);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT handle) {
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  std::lock_guard guard(device->lock);
  device->ReturnAll();
  if (device->lost) return MMSYSERR_NODRIVER;
  device->played = device->playedSince = 0;
  device->since = Clock::now();
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT handle, LPMMTIME time, UINT) {
  Device* device = Find(handle);
  if (device == nullptr) return MMSYSERR_INVALHANDLE;
  std::lock_guard guard(device->lock);
  if (device->lost) return MMSYSERR_NODRIVER;
  time->wType = TIME_SAMPLES;
  time->u.sample = static_cast<DWORD>(device->played);
  return MMSYSERR_NOERROR;
}

}  // extern "C"
