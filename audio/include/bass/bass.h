/* The playback library's C interface: the classic BASS 2.2 operations the player binds by
   name, with their records and error codes. MP3 files are decoded by libmpg123 and played
   on Linux through the sound server (PulseAudio or PipeWire) or, when SDL_AUDIODRIVER names
   one or there is no server, through one of SDL2's outputs; on Windows (bass.dll) through
   waveOut on the default device.

   Threads: every call is made from one thread (the player's user-interface thread); the
   output device pulls sound on a thread of its own, which the library keeps apart from the
   callers. The last error code is kept per calling thread.

   Byte positions and lengths count bytes of decoded 16-bit PCM in the stream's own sample
   rate and channel count. A stream handle stays valid until BASS_StreamFree or BASS_Free, also once stopped.

   A lost output (its sound server restarted, the device unplugged) is opened again by the
   library: at the next BASS_ChannelPlay, and otherwise by the calls that ask for positions
   and data, first after a quarter of a second and then less often while it stays away. Until
   then positions stand still, and streams go on from the sound heard last. */
#ifndef SONVIRA_BASS_H
#define SONVIRA_BASS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* BASS_CALL is the calling convention of every operation: on Windows stdcall, as the classic
   interface has it (WINAPI), exported under the plain names (audio/src/bass.def); elsewhere
   the platform's own. Function pointer types made from these declarations carry it along. */
#if defined(_WIN32)
#define BASS_API
#define BASS_CALL __stdcall
#elif defined(__GNUC__)
#define BASS_API __attribute__((visibility("default")))
#define BASS_CALL
#else
#define BASS_API
#define BASS_CALL
#endif

/* On Windows BYTE, WORD, DWORD and BOOL are Windows' own, so that a program may include both
   headers; they have the same sizes as here. */
#if defined(_WIN32)
#include <windef.h>
#else
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int BOOL;
#endif
typedef uint64_t QWORD;
typedef DWORD HSTREAM; /* a stream; 0 is never a valid handle */
typedef DWORD HCHANNEL;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define BASS_MAKELONG(low, high) ((DWORD)(((low)&0xffff) | ((DWORD)(high) << 16)))
/* BASS_GetVersion: major version in the low word, minor in the high word. */
#define BASS_VERSION_2_2 BASS_MAKELONG(2, 2)

/* Returned by the position, length and data queries on failure: all bits set. */
#define BASS_FAILED_QWORD ((QWORD)-1)
#define BASS_FAILED_DWORD ((DWORD)-1)

/* Error codes (BASS_ErrorGetCode). One code per kind of failure. */
#define BASS_OK 0
#define BASS_ERROR_MEM 1       /* out of memory */
#define BASS_ERROR_FILEOPEN 2  /* the file could not be opened or read */
#define BASS_ERROR_DRIVER 3    /* no output device could be opened */
#define BASS_ERROR_HANDLE 5    /* handle 0, an unknown handle, or one from before BASS_Free */
#define BASS_ERROR_FORMAT 6    /* a sample format the library does not produce (8-bit, float) */
#define BASS_ERROR_INIT 8      /* BASS_Init has not been called successfully */
#define BASS_ERROR_START 9     /* the output is lost and cannot be opened again yet */
#define BASS_ERROR_ALREADY 14  /* BASS_Init called twice without BASS_Free */
#define BASS_ERROR_ILLPARAM 20 /* a parameter is out of range or a needed pointer is null */
#define BASS_ERROR_DEVICE 23   /* a device number other than -1 (default) or 1 */
#define BASS_ERROR_NOPLAY 24   /* the stream is not playing (GetData) */
#define BASS_ERROR_FILEFORM 41 /* the file is not an MPEG audio file */
#define BASS_ERROR_UNKNOWN -1

/* BASS_Init flags are accepted and ignored: output is always 16-bit stereo. */

/* Stream flags (BASS_StreamCreateFile). Only the ones listed are accepted. */
#define BASS_SAMPLE_8BITS 1         /* refused with BASS_ERROR_FORMAT */
#define BASS_SAMPLE_SOFTWARE 16     /* accepted; all mixing is software */
#define BASS_SAMPLE_FLOAT 256       /* refused with BASS_ERROR_FORMAT */
#define BASS_STREAM_PRESCAN 0x20000 /* accepted; every stream is scanned whole */

/* BASS_ChannelGetData: the top four bits of the length select FFT and other modes,
   which the library does not offer (BASS_ERROR_ILLPARAM). A length of 0 asks how many
   bytes are available without copying any. */
#define BASS_DATA_AVAILABLE 0
#define BASS_DATA_FLAGS 0xf0000000u

/* Channel types (BASS_CHANNELINFO.ctype). */
#define BASS_CTYPE_STREAM 0x10000
#define BASS_CTYPE_STREAM_MP1 0x10003
#define BASS_CTYPE_STREAM_MP2 0x10004
#define BASS_CTYPE_STREAM_MP3 0x10005

typedef struct {
  DWORD flags;  /* device capabilities; 0 */
  DWORD hwsize; /* hardware memory; 0 (all mixing is software) */
  DWORD hwfree;
  DWORD freesam;
  DWORD free3d;
  DWORD minrate;      /* the output rate given to BASS_Init */
  DWORD maxrate;      /* the same */
  BOOL eax;           /* FALSE */
  DWORD minbuf;       /* the sound the output holds while a song plays, in milliseconds */
  DWORD dsver;        /* the DirectSound level the library stands in for: 9 */
  DWORD latency;      /* the same */
  DWORD initflags;    /* the flags given to BASS_Init */
  DWORD speakers;     /* 2 */
  const char* driver; /* "pulseaudio", SDL's name of its driver, or "waveout"; owned by the library */
} BASS_INFO;

typedef struct {
  DWORD freq;    /* sample rate of the stream in Hz */
  DWORD chans;   /* 1 or 2 */
  DWORD flags;   /* the stream's BASS_SAMPLE/BASS_STREAM flags; never BASS_SAMPLE_8BITS */
  DWORD ctype;   /* BASS_CTYPE_STREAM_MP1/MP2/MP3 */
  DWORD origres; /* 0: MPEG audio has no original resolution */
} BASS_CHANNELINFO;

/* BASS_VERSION_2_2. Needs no BASS_Init. */
BASS_API DWORD BASS_CALL BASS_GetVersion(void);

/* Opens the output: device -1 (or 1) is the default device: the sound server's (PulseAudio
   or PipeWire), or with SDL_AUDIODRIVER set or no server, the one SDL picks (ALSA, or what
   SDL_AUDIODRIVER names); on Windows waveOut's default device; `freq` the output rate in Hz (8000 to 192000), always 16-bit stereo. `win` and `dsguid` are accepted and ignored. Fails with
   BASS_ERROR_ALREADY, BASS_ERROR_DEVICE, BASS_ERROR_ILLPARAM or BASS_ERROR_DRIVER. */
BASS_API BOOL BASS_CALL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* dsguid);

/* The code of the last failed call in this thread, BASS_OK after a successful one. */
BASS_API int BASS_CALL BASS_ErrorGetCode(void);

/* Stops the output and frees every stream. Handles from before become unknown. On Windows it
   must come before FreeLibrary: the output's thread cannot end while the DLL is unloaded. */
BASS_API BOOL BASS_CALL BASS_Free(void);

/* Share of real time spent decoding and mixing, in percent: over the last whole second of
   the monotonic clock (CLOCK_MONOTONIC, QueryPerformanceCounter: std::chrono::steady_clock),
   made again at each whole half second of it and at no other moment. A caller that polls it
   need look again only once the next half second has begun. */
BASS_API float BASS_CALL BASS_GetCPU(void);

BASS_API BOOL BASS_CALL BASS_GetInfo(BASS_INFO* info);

/* A stream of an MPEG audio file (MP3, also MP2 and MP1). With `mem` FALSE, `file` is a
   file path as bytes (passed to the system unchanged), and `offset` and `length` (0 = to
   the end) pick a part of the file. With `mem` TRUE, `file` points to a block of `length`
   bytes, which the caller keeps unchanged until BASS_Free; the stream is the block from
   `offset` on, and nothing outside the block is ever read (an offset past it fails with
   BASS_ERROR_ILLPARAM). The whole stream is scanned here, once, so its length is exact.
   The stream starts stopped; while stopped it holds neither a decoder nor an open file.
   0 on failure. */
BASS_API HSTREAM BASS_CALL BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);

/* Stops the stream if it plays and frees it with all it holds; its handle becomes unknown.
   Fails with BASS_ERROR_HANDLE for 0 or an unknown handle. */
BASS_API BOOL BASS_CALL BASS_StreamFree(HSTREAM handle);

/* Starts or resumes the stream. A playing stream is left alone unless `restart`; a
   stopped one goes on from where it was heard last; one that has ended, or any with
   `restart`, starts from the beginning. The stream is heard soon after: sound the output
   holds but has not played yet is taken back where the sound system allows. Fails with
   BASS_ERROR_START while the output is lost and cannot be opened again. */
BASS_API BOOL BASS_CALL BASS_ChannelPlay(DWORD handle, BOOL restart);

/* Stops the stream and releases its decoder and file; the handle stays valid and the
   position stays where the sound stopped (with the sound server, the sound stops within a few
   milliseconds; with SDL's outputs the device plays out what it holds). */
BASS_API BOOL BASS_CALL BASS_ChannelStop(DWORD handle);

/* The position of the sound being heard now: bytes handed to the device less the bytes
   the device still holds. Equals the length once the last sample has been heard, and
   stays so. BASS_FAILED_QWORD (with BASS_ERROR_HANDLE) for 0 or an unknown handle. */
BASS_API QWORD BASS_CALL BASS_ChannelGetPosition(DWORD handle);

/* The exact length in bytes; BASS_FAILED_QWORD (with BASS_ERROR_HANDLE) for 0 or an unknown
   handle. */
BASS_API QWORD BASS_CALL BASS_ChannelGetLength(DWORD handle);

/* `pos` bytes of the stream in seconds; -1 for 0 or an unknown handle. */
BASS_API float BASS_CALL BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);

/* Sample rate, volume (0 to 100, always 100) and pan (-100 to 100, always 0). Null
   pointers are skipped. */
BASS_API BOOL BASS_CALL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);

BASS_API BOOL BASS_CALL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);

/* Copies the stream's sample data starting at the sound being heard now, interleaved
   16-bit in the stream's own format: `length` bytes, or fewer when the stream holds
   fewer. Returns the byte count; BASS_FAILED_DWORD on failure (BASS_ERROR_HANDLE,
   BASS_ERROR_NOPLAY when the stream is not playing, BASS_ERROR_ILLPARAM for a null buffer
   or mode bits in `length`). */
BASS_API DWORD BASS_CALL BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);

#ifdef __cplusplus
}
#endif

#endif
