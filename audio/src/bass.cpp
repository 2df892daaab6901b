// The C entry points: each turns its arguments into an Engine call and records the result
// code for BASS_ErrorGetCode. Nothing thrown gets past here.
#include <new>

#include "bass/bass.h"
#include "engine.h"

namespace {

thread_local int lastError = BASS_OK;

// Runs `call`, which returns a BASS code; an exception becomes a code too.
template <class Call>
bool Run(Call&& call) {
  int code;
  try {
    code = call();
  } catch (const std::bad_alloc&) {
    code = BASS_ERROR_MEM;
  } catch (...) {
    code = BASS_ERROR_UNKNOWN;
  }
  lastError = code;
  return code == BASS_OK;
}

bass::Engine& engine() {
  return bass::Engine::Instance();
}

}  // namespace

extern "C" {

DWORD BASS_CALL BASS_GetVersion(void) {
  return BASS_VERSION_2_2;
}

BOOL BASS_CALL BASS_Init(int device, DWORD freq, DWORD flags, void* /*win*/, const void* /*dsguid*/) {
  return Run([&] { return engine().Init(device, freq, flags); });
}

int BASS_CALL BASS_ErrorGetCode(void) {
  return lastError;
}

BOOL BASS_CALL BASS_Free(void) {
  return Run([] { return engine().Free(); });
}

float BASS_CALL BASS_GetCPU(void) {
  return engine().Cpu();
}

BOOL BASS_CALL BASS_GetInfo(BASS_INFO* info) {
  return Run([&] { return info == nullptr ? BASS_ERROR_ILLPARAM : engine().GetInfo(*info); });
}

HSTREAM BASS_CALL BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
  HSTREAM handle = 0;
  Run([&] {
    if (file == nullptr) return mem ? BASS_ERROR_ILLPARAM : BASS_ERROR_FILEOPEN;
    bass::Source source;
    if (mem) {
      if (length == 0) return BASS_ERROR_ILLPARAM;
      source.memory = static_cast<const std::uint8_t*>(file);
    } else {
      source.path = static_cast<const char*>(file);
    }
    source.offset = offset;
    source.length = length;
    return engine().CreateStream(source, flags, handle);
  });
  return handle;
}

BOOL BASS_CALL BASS_StreamFree(HSTREAM handle) {
  return Run([&] { return engine().FreeStream(handle); });
}

BOOL BASS_CALL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  return Run([&] { return engine().Play(handle, restart != FALSE); });
}

BOOL BASS_CALL BASS_ChannelStop(DWORD handle) {
  return Run([&] { return engine().Stop(handle); });
}

QWORD BASS_CALL BASS_ChannelGetPosition(DWORD handle) {
  QWORD bytes = 0;
  return Run([&] { return engine().Position(handle, bytes); }) ? bytes : BASS_FAILED_QWORD;
}

QWORD BASS_CALL BASS_ChannelGetLength(DWORD handle) {
  QWORD bytes = 0;
  return Run([&] { return engine().Length(handle, bytes); }) ? bytes : BASS_FAILED_QWORD;
}

float BASS_CALL BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
  float seconds = 0.0f;
  return Run([&] { return engine().Seconds(handle, pos, seconds); }) ? seconds : -1.0f;
}

BOOL BASS_CALL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
  return Run([&] { return engine().Attributes(handle, freq, volume, pan); });
}

BOOL BASS_CALL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
  return Run([&] { return info == nullptr ? BASS_ERROR_ILLPARAM : engine().Info(handle, *info); });
}

DWORD BASS_CALL BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
  DWORD copied = 0;
  return Run([&] { return engine().Data(handle, buffer, length, copied); }) ? copied : BASS_FAILED_DWORD;
}

}  // extern "C"
