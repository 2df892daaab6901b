// Arbitrary bytes as an MP3 file (and as an MP3 in memory): stream creation, a short play
// pulled straight through the mixer, every query, a stop and a resume.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bass/bass.h"
#include "engine.h"

namespace {

// Pulls as a device would that hears each buffer the moment it takes it. The dummy output's
// own thread pulls too, on a count of its own: the streams are also taken back and rendered
// again.
void Pull(int times) {
  static std::int16_t out[2048];
  static std::uint64_t frame = 0;
  for (int i = 0; i < times; ++i, frame += 1024) bass::Engine::Instance().Render(out, 1024, frame, frame);
}

void Query(HSTREAM stream) {
  QWORD length = BASS_ChannelGetLength(stream);
  QWORD position = BASS_ChannelGetPosition(stream);
  if (position > length) std::abort();
  BASS_ChannelBytes2Seconds(stream, length);
  DWORD freq = 0, volume = 0;
  int pan = 0;
  BASS_ChannelGetAttributes(stream, &freq, &volume, &pan);
  BASS_CHANNELINFO info{};
  BASS_ChannelGetInfo(stream, &info);
  static std::int32_t data[1025];
  DWORD got = BASS_ChannelGetData(stream, data, info.chans == 1 ? 511 : 1024);
  if (got != BASS_FAILED_DWORD && got > 1024) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // Streams live until BASS_Free, so the library is opened afresh now and then.
  static int runs = 0;
  if (runs++ % 500 == 0) {
    BASS_Free();
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) std::abort();
  }

  int fd = memfd_create("fuzz.mp3", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (write(fd, bytes, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  HSTREAM streams[2] = {BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0),
                        size > 0 ? BASS_StreamCreateFile(TRUE, bytes, 0, static_cast<DWORD>(size), 0) : 0};
  close(fd);
  for (HSTREAM stream : streams) {
    if (stream == 0) continue;
    Query(stream);
    if (!BASS_ChannelPlay(stream, FALSE)) continue;
    Pull(6);
    Query(stream);
    BASS_ChannelStop(stream);
    Query(stream);
    BASS_ChannelPlay(stream, FALSE);
    Pull(3);
    Query(stream);
    BASS_ChannelStop(stream);
  }
  return 0;
}
