#pragma once
// The sound output the audio library's suites play to: in the Linux build SDL's dummy output
// (SDL_AUDIODRIVER=dummy) or its disk output (=disk), which writes what is played to a file;
// on Windows the clock-paced waveOut device of support/fake_winmm.cpp, found beside the test
// program as winmm.dll, which does both.

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testing_support {

#ifdef _WIN32
// Loaded first, so that the test device is the winmm of every library loaded later, one loaded
// from another folder too (which looks for what it imports beside itself, then in the system's
// folder, before the program's).
inline const HMODULE kTestDevice = ::LoadLibraryW(L"winmm.dll");
#endif

// The output's name in BASS_INFO.
#ifdef _WIN32
inline constexpr char kTestOutputDriver[] = "waveout";
#else
inline constexpr char kTestOutputDriver[] = "dummy";
#endif

// From the next BASS_Init on, every frame played goes to `file` as raw 16-bit stereo.
inline void CaptureOutputTo(const std::filesystem::path& file) {
#ifdef _WIN32
  ::SetEnvironmentVariableW(L"FAKE_WAVEOUT_CAPTURE", file.c_str());
#else
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
#endif
}

#ifdef _WIN32
// The device open now is gone, as one unplugged: it plays nothing more and refuses every call
// (the Linux build loses a real sound server instead: audio_desktop_test).
inline void LoseOutputDevice() {
  using Lose = void(WINAPI*)();
  if (HMODULE device = ::GetModuleHandleW(L"winmm.dll")) {
    if (auto lose = reinterpret_cast<Lose>(
            reinterpret_cast<void*>(::GetProcAddress(device, "FakeWaveOutLoseDevices"))))
      lose();
  }
}
#endif

// While it lives, no output opens, as on a machine without a sound device.
class NoOutputDevice {
 public:
#ifdef _WIN32
  NoOutputDevice() {
    ::SetEnvironmentVariableW(L"FAKE_WAVEOUT_MISSING", L"1");
  }
  ~NoOutputDevice() {
    ::SetEnvironmentVariableW(L"FAKE_WAVEOUT_MISSING", nullptr);
  }
#else
  NoOutputDevice() : driver_(std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "") {
    setenv("SDL_AUDIODRIVER", "no_such_output", 1);
  }
  ~NoOutputDevice() {
    setenv("SDL_AUDIODRIVER", driver_.c_str(), 1);
  }

 private:
  std::string driver_;
#endif
  NoOutputDevice(const NoOutputDevice&) = delete;
  NoOutputDevice& operator=(const NoOutputDevice&) = delete;
};

}  // namespace testing_support
