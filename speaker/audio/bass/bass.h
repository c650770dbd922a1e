/* The program's audio library, staged as "bass.dll" beside the program.
 *
 * It owns the process's one audio output: one SDL device and a mixer that
 * sums every stream (background music and samples from MP3 files, and the
 * speech engine's PCM through a push stream). The calls follow the 2.4 series of the library the
 * program was written against, so its callers keep their shape; the push
 * stream's marks and waits and the offline render are our additions.
 *
 * Units: every byte count and position of a channel is counted in the
 * mixer's own format (32-bit float, stereo, at the rate given to BASS_Init),
 * whatever format was pushed in. Handles are never below 45, are never
 * reused, and a call on a freed handle fails with BASS_ERROR_HANDLE and has
 * no other effect. Every function may be called from any thread; the error
 * code is kept per thread.
 */
#ifndef SONVELA_BASS_H
#define SONVELA_BASS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(BASS_BUILDING_LIBRARY)
#define BASSDEF(type) __attribute__((visibility("default"))) type
#else
#define BASSDEF(type) type
#endif

typedef uint32_t DWORD;
typedef uint64_t QWORD;
typedef int BOOL;
typedef DWORD HSTREAM;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define BASSVERSION 0x204

/* Error codes (BASS_ErrorGetCode). */
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_INIT 8
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_NOTAVAIL 37
#define BASS_ERROR_TIMEOUT 40
#define BASS_ERROR_FILEFORM 41
#define BASS_ERROR_UNKNOWN -1

/* BASS_Init devices: -1 is the default output; 0 opens no device at all, and
 * the mix is then pulled with BASS_RenderOutput (tests, benchmarks, rendering
 * to a file). */
#define BASS_DEVICE_DEFAULT -1
#define BASS_DEVICE_NOSOUND 0

/* Channel attributes. */
#define BASS_ATTRIB_VOL 2

/* Position modes. */
#define BASS_POS_BYTE 0

/* BASS_ChannelIsActive results. */
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2

/* Push stream sample formats: 16-bit signed by default, or float. */
#define BASS_SAMPLE_FLOAT 256

/* Or'ed into BASS_StreamPutData's length: the piece of sound is complete.
 * The converter is flushed so that its tail is heard too. */
#define BASS_STREAMPROC_END 0x80000000u

/* The version: high word 0x0204. */
BASSDEF(DWORD) BASS_GetVersion(void);

/* Opens the output: device -1 (default) or 0 (no sound, offline render);
 * freq 0 means 44100. When the default driver has no usable device the
 * output falls back to SDL's silent "dummy" driver, which still plays in
 * real time. FALSE with BASS_ERROR_ALREADY when already initialised. */
BASSDEF(BOOL) BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid);

/* Closes the output and frees every stream. */
BASSDEF(BOOL) BASS_Free(void);

/* The error of the calling thread's last call (BASS_OK after a success). */
BASSDEF(int) BASS_ErrorGetCode(void);

/* The SDL audio driver in use ("pulseaudio", "alsa", "dummy", "disk"...),
 * "nosound" for the offline output, NULL when not initialised. */
BASSDEF(const char*) BASS_GetDriverName(void);

/* A stream that plays PCM handed to it with BASS_StreamPutData: freq Hz,
 * chans channels (1 or 2), 16-bit signed unless flags has
 * BASS_SAMPLE_FLOAT. It is converted to the mixer's format on the way in.
 * The stream is created stopped: start it with BASS_ChannelPlay. */
BASSDEF(HSTREAM) BASS_StreamCreatePush(DWORD freq, DWORD chans, DWORD flags);

/* Queues `length` bytes of PCM (whole frames). BASS_STREAMPROC_END in
 * `length` marks the end of a piece (buffer may then be NULL with a length
 * of BASS_STREAMPROC_END alone). Returns the bytes now queued (mixer
 * format), or (DWORD)-1 on failure. With buffer NULL and length 0 it only
 * returns the bytes queued. */
BASSDEF(DWORD) BASS_StreamPutData(HSTREAM handle, const void* buffer, DWORD length);

/* Drops everything queued at once; the play position jumps to the written
 * position, so waiters for earlier positions are released. */
BASSDEF(BOOL) BASS_StreamPurge(HSTREAM handle);

/* The play position the stream will reach once everything pushed so far
 * has been played: a mark to wait for. (QWORD)-1 on failure. */
BASSDEF(QWORD) BASS_StreamGetWritePosition(HSTREAM handle);

/* Waits until the stream's play position reaches `position` (TRUE), at most
 * timeoutMs milliseconds (FALSE, BASS_ERROR_TIMEOUT). Dropped audio counts as
 * played. FALSE with BASS_ERROR_HANDLE when the stream is or gets freed. */
BASSDEF(BOOL) BASS_StreamWaitPosition(HSTREAM handle, QWORD position, DWORD timeoutMs);

/* A stream that plays an MP3 file (MPEG audio layer 1, 2 or 3), decoded as
 * it plays. `file` is the path as the file system spells it; mem must be
 * FALSE, offset and length 0 (the whole file): other forms fail with
 * BASS_ERROR_NOTAVAIL. The file is scanned once here so that its length is
 * exact. 0 on failure: BASS_ERROR_FILEOPEN when it cannot be read,
 * BASS_ERROR_FILEFORM when it holds no MPEG audio, BASS_ERROR_INIT before
 * BASS_Init. The stream is created stopped; when it has played to its end
 * it stops by itself, and BASS_ChannelPlay then starts it from the
 * beginning again. flags are ignored. */
BASSDEF(HSTREAM)
BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);

/* Releases the stream; it stops at once. */
BASSDEF(BOOL) BASS_StreamFree(HSTREAM handle);

/* Starts or resumes a stream; restart TRUE plays a file stream from its
 * beginning (a push stream has no beginning to return to). */
BASSDEF(BOOL) BASS_ChannelPlay(DWORD handle, BOOL restart);
BASSDEF(BOOL) BASS_ChannelStop(DWORD handle);
BASSDEF(DWORD) BASS_ChannelIsActive(DWORD handle);

/* BASS_ATTRIB_VOL: 0 is silent, 1 is full; takes effect at the next mixed
 * buffer. */
BASSDEF(BOOL) BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
BASSDEF(BOOL) BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);

/* The length in bytes; (QWORD)-1 (BASS_ERROR_NOTAVAIL) for a push stream,
 * whose length is open. */
BASSDEF(QWORD) BASS_ChannelGetLength(DWORD handle, DWORD mode);
/* The play position in bytes; (QWORD)-1 on failure. */
BASSDEF(QWORD) BASS_ChannelGetPosition(DWORD handle, DWORD mode);
/* Byte counts and seconds in the mixer's format; a negative number of
 * seconds for a failed handle. */
BASSDEF(double) BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
BASSDEF(QWORD) BASS_ChannelSeconds2Bytes(DWORD handle, double pos);

/* Offline output only (BASS_Init device 0): mixes the next length / 8
 * frames of every playing stream into buffer (float stereo) as fast as the
 * caller asks. Returns the bytes written or (DWORD)-1. */
BASSDEF(DWORD) BASS_RenderOutput(void* buffer, DWORD length);

#ifdef __cplusplus
}
#endif

#endif
