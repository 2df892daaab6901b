#pragma once
// The sound output the engine plays through: one device, 16-bit stereo at one rate, that
// pulls its sound from the engine on a thread of its own. One backend per sound system, each
// in its own file (output_pulse.cpp, output_sdl.cpp, output_waveout.cpp); OpenOutput picks one
// for the platform (output_linux.cpp, output_windows.cpp).
//
// Device frames number the frames handed to the device. They run on across outputs: an output
// opened again after a loss goes on from the frame it is given, so that a stream's position
// keeps meaning the sound heard.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace bass {

// The engine, as an output sees it.
class OutputSource {
 public:
  // Fills `frames` frames of interleaved 16-bit stereo that the device plays from device frame
  // `first` on, while frame `heard` is being heard. Called on the output's thread, or inside
  // Rewrite on its caller's, never twice at once. `first` is below the end of the last call
  // after a Rewrite: the device dropped what it held from there and plays this instead.
  // Returns true while a stream has more to hand over after these frames, false when silence
  // follows until something starts (when a quick start matters more than a long buffer).
  virtual bool Render(std::int16_t* out, std::size_t frames, std::uint64_t first, std::uint64_t heard) = 0;

 protected:
  ~OutputSource() = default;
};

class Output {
 public:
  // Closes the device; the source is not called once it has returned.
  virtual ~Output() = default;

  // The device frame being heard now. Stands still while nothing is handed to the device and
  // once the device is lost. Asked at every tick of a player's timers: it waits for nothing the
  // output's thread holds while it talks to the device.
  virtual std::uint64_t HeardFrame() = 0;

  // True once the device has gone (its sound server ended, it was unplugged): nothing handed
  // to it is heard any more, and only an output opened again brings the sound back.
  virtual bool Lost() = 0;

  // Takes back what the device holds but has not begun to play, as far as the device allows,
  // and renders it again, so that a change is heard at once instead of after the device's
  // whole buffer. An output that cannot take sound back does nothing. Called whenever a
  // stream starts or stops, and when an output opened again finds streams playing; an output
  // may wait for the first call before it pulls at all.
  virtual void Rewrite() = 0;

  // For BASS_GetInfo: the sound system's name and how much sound the device holds.
  virtual const std::string& Driver() const = 0;
  virtual std::uint32_t LatencyMilliseconds() const = 0;

  // What opens another output of this kind, for when this one is lost: the same sound system,
  // not whichever answers then (a card taken straight while its sound server restarts would
  // keep the server from it).
  using Opener = std::unique_ptr<Output> (*)(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                             int& error);
  virtual Opener OpenerOfItsKind() const = 0;
};

// Opens the default device at `rate` Hz with device frames counted from `firstFrame`, and starts
// it pulling from `source` (which renders silence while nothing plays). On failure returns
// null with `error` set to a BASS error code.
std::unique_ptr<Output> OpenOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                   int& error);

// True while the process ends with the library still loaded and the other threads already
// stopped wherever they were (on Windows, ExitProcess); then nothing may wait for them.
bool ProcessEnding();

// The backends OpenOutput chooses from, each an Opener.
std::unique_ptr<Output> OpenPulseOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                        int& error);
std::unique_ptr<Output> OpenSdlOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                      int& error);
std::unique_ptr<Output> OpenWaveOutOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                          int& error);

}  // namespace bass
