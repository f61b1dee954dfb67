// The audio library as the game knows it (BASS 1.8 names, codes and volume ranges), over SDL2_mixer.
// Samples are decoded from memory (WAV, Ogg Vorbis) and played on channels; a sample may play up
// to `max` times at once. Handles are never reused within a run, so a stale handle just fails.
// Main thread only; the mixer runs on its own thread.
#pragma once

#include <cstdint>

namespace velmora {

using BASS_BOOL = int;
using HSAMPLE = uint32_t;  // a loaded sample; 0 = none
using HCHANNEL = uint32_t; // one playback of a sample; 0 = none
using HMUSIC = uint32_t;   // module music (never loaded by this layer; kept for the game's tables)

// Error codes of BASS 1.8.
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_DRIVER = 3;
constexpr int BASS_ERROR_BUFLOST = 4;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_FORMAT = 6;
constexpr int BASS_ERROR_POSITION = 7;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_START = 9;
constexpr int BASS_ERROR_INITCD = 10;
constexpr int BASS_ERROR_CDINIT = 11;
constexpr int BASS_ERROR_NOCD = 12;
constexpr int BASS_ERROR_CDTRACK = 13;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_CDVOL = 15;
constexpr int BASS_ERROR_NOPAUSE = 16;
constexpr int BASS_ERROR_NOTAUDIO = 17;
constexpr int BASS_ERROR_NOCHAN = 18;
constexpr int BASS_ERROR_ILLTYPE = 19;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_NO3D = 21;
constexpr int BASS_ERROR_NOEAX = 22;
constexpr int BASS_ERROR_DEVICE = 23;
constexpr int BASS_ERROR_NOPLAY = 24;
constexpr int BASS_ERROR_FREQ = 25;
constexpr int BASS_ERROR_NOTFILE = 27;
constexpr int BASS_ERROR_NOHW = 29;
constexpr int BASS_ERROR_EMPTY = 31;
constexpr int BASS_ERROR_NONET = 32;
constexpr int BASS_ERROR_CREATE = 33;
constexpr int BASS_ERROR_NOFX = 34;
constexpr int BASS_ERROR_PLAYING = 35;
constexpr int BASS_ERROR_NOTAVAIL = 37;
constexpr int BASS_ERROR_DECODE = 38;
constexpr int BASS_ERROR_DX = 39;
constexpr int BASS_ERROR_TIMEOUT = 40;
constexpr int BASS_ERROR_FILEFORM = 41;
constexpr int BASS_ERROR_SPEAKER = 42;
constexpr int BASS_ERROR_UNKNOWN = -1;

// Sample flags: loop by default; when all `max` playbacks run, a new one replaces the oldest.
constexpr uint32_t BASS_SAMPLE_LOOP = 4;
constexpr uint32_t BASS_SAMPLE_OVER_POS = 0x20000;

constexpr int BASS_DEFAULT_DEVICE = -1;
constexpr uint32_t BASS_VERSION_1_8 = 0x00080001; // low word major, high word minor

uint32_t BASS_GetVersion();           // BASS_VERSION_1_8
int BASS_ErrorGetCode();              // code of the last failed call (BASS_OK after a success)
const char* BASS_ErrorText(int code); // the published description; "" for BASS_OK

// device: -1 (or 1) the default output; freq in Hz (44100); flags are accepted, output is always
// 16-bit stereo; win is unused. Fails with
// BASS_ERROR_DRIVER when no audio device can be opened.
BASS_BOOL BASS_Init(int device, uint32_t freq, uint32_t flags, void* win);
BASS_BOOL BASS_Free();  // stops everything, frees every sample, closes the device
BASS_BOOL BASS_Start(); // resumes output after BASS_Pause
BASS_BOOL BASS_Pause(); // silences every channel until BASS_Start; playbacks started meanwhile wait too

// mem true: file points to `length` bytes in memory (offset into them); else file is a path.
// max: simultaneous playbacks 1..65535. Returns 0 on failure (BASS_ERROR_FILEFORM for data it cannot decode).
HSAMPLE BASS_SampleLoad(BASS_BOOL mem, const void* file, uint32_t offset, uint32_t length, uint32_t max,
                        uint32_t flags);
BASS_BOOL BASS_SampleFree(HSAMPLE handle); // stops its playbacks too
HCHANNEL BASS_SamplePlay(HSAMPLE handle);
// start: 0 (from the beginning); freq: -1 (the sample's own); volume 0..100 or -1 (100);
// pan -100..100 or -101 (centre); loop: 1 loop, 0 once, -1 the sample's BASS_SAMPLE_LOOP flag.
HCHANNEL BASS_SamplePlayEx(HSAMPLE handle, uint32_t start, int freq, int volume, int pan, BASS_BOOL loop);

BASS_BOOL BASS_ChannelStop(HCHANNEL handle);
BASS_BOOL BASS_ChannelIsActive(HCHANNEL handle); // true while playing (also while paused by BASS_Pause)
// freq: -1 unchanged (no other value is supported); volume 0..100 or -1 unchanged; pan -100..100 or -101
// unchanged.
BASS_BOOL BASS_ChannelSetAttributes(HCHANNEL handle, int freq, int volume, int pan);
BASS_BOOL BASS_ChannelGetAttributes(HCHANNEL handle, int* freq, int* volume, int* pan);

} // namespace velmora
