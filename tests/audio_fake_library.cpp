// Stand-ins for a foreign "bass.dll": every operation answers, but the version is
// FAKE_VERSION, and with FAKE_WITHOUT_GET_DATA one operation is missing.
#include "bass/bass.h"

extern "C" {

DWORD BASS_GetVersion(void) {
  return FAKE_VERSION;
}
BOOL BASS_Init(int, DWORD, DWORD, void*, const void*) {
  return TRUE;
}
int BASS_ErrorGetCode(void) {
  return BASS_OK;
}
BOOL BASS_Free(void) {
  return TRUE;
}
float BASS_GetCPU(void) {
  return 0.0f;
}
BOOL BASS_GetInfo(BASS_INFO*) {
  return FALSE;
}
HSTREAM BASS_StreamCreateFile(BOOL, const void*, DWORD, DWORD, DWORD) {
  return 0;
}
BOOL BASS_ChannelPlay(DWORD, BOOL) {
  return FALSE;
}
BOOL BASS_ChannelStop(DWORD) {
  return FALSE;
}
QWORD BASS_ChannelGetPosition(DWORD) {
  return BASS_FAILED_QWORD;
}
QWORD BASS_ChannelGetLength(DWORD) {
  return BASS_FAILED_QWORD;
}
float BASS_ChannelBytes2Seconds(DWORD, QWORD) {
  return -1.0f;
}
BOOL BASS_ChannelGetAttributes(DWORD, DWORD*, DWORD*, int*) {
  return FALSE;
}
BOOL BASS_ChannelGetInfo(DWORD, BASS_CHANNELINFO*) {
  return FALSE;
}
#ifndef FAKE_WITHOUT_GET_DATA
DWORD BASS_ChannelGetData(DWORD, void*, DWORD) {
  return BASS_FAILED_DWORD;
}
#endif

}  // extern "C"
