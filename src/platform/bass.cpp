#include "platform/bass.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <map>
#include <vector>

namespace velmora {

namespace {

constexpr int cMixChannels = 128;

struct TSampleEntry {
    Mix_Chunk* Chunk = nullptr;
    uint32_t Max = 1;
    uint32_t Flags = 0;
};

// Which playback owns a mixer channel; a channel handle is valid while it owns it.
struct TChannelEntry {
    HCHANNEL Handle = 0;
    HSAMPLE Sample = 0;
    uint64_t Order = 0; // start order, to find the oldest playback of a sample
    int Volume = 100;
    int Pan = 0;
};

struct TAudioState {
    bool Initialized = false;
    bool Paused = false;
    int Error = BASS_OK;
    uint32_t NextSample = 1;
    uint32_t NextChannel = 1;
    uint64_t NextOrder = 1;
    std::map<HSAMPLE, TSampleEntry> Samples;
    std::vector<TChannelEntry> Channels;
};

TAudioState& State() {
    static TAudioState state;
    return state;
}

BASS_BOOL Fail(int code) {
    State().Error = code;
    return 0;
}

BASS_BOOL Succeed() {
    State().Error = BASS_OK;
    return 1;
}

// The mixer channel a live playback runs on, or -1.
int FindChannel(HCHANNEL handle) {
    if (handle == 0) return -1;
    auto& channels = State().Channels;
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i].Handle == handle) return static_cast<int>(i);
    return -1;
}

bool ChannelBusy(int ch) {
    return Mix_Playing(ch) != 0;
}

void ApplyVolume(int ch, int volume) {
    Mix_Volume(ch, volume * MIX_MAX_VOLUME / 100);
}

void ApplyPan(int ch, int pan) {
    // -100 left .. 100 right; the mixer takes separate left and right levels 0..255.
    const int right = (pan + 100) * 255 / 200;
    if (pan == 0)
        Mix_SetPanning(ch, 255, 255);
    else
        Mix_SetPanning(ch, static_cast<Uint8>(255 - right), static_cast<Uint8>(right));
}

// The oldest running playback of a sample, and how many run.
int RunningPlaybacks(HSAMPLE sample, int& oldest) {
    auto& channels = State().Channels;
    int count = 0;
    oldest = -1;
    for (size_t i = 0; i < channels.size(); ++i) {
        if (channels[i].Sample != sample || !ChannelBusy(static_cast<int>(i))) continue;
        ++count;
        if (oldest < 0 || channels[i].Order < channels[oldest].Order) oldest = static_cast<int>(i);
    }
    return count;
}

int FreeMixChannel() {
    for (int i = 0; i < cMixChannels; ++i)
        if (!ChannelBusy(i)) return i;
    return -1;
}

void StopPlaybacksOf(HSAMPLE sample) {
    auto& channels = State().Channels;
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i].Sample == sample) {
            Mix_HaltChannel(static_cast<int>(i));
            channels[i] = TChannelEntry{};
        }
}

} // namespace

uint32_t BASS_GetVersion() {
    return BASS_VERSION_1_8;
}

int BASS_ErrorGetCode() {
    return State().Error;
}

const char* BASS_ErrorText(int code) {
    static const struct {
        int Code;
        const char* Text;
    } cTexts[] = {
        {BASS_OK, ""},
        {BASS_ERROR_MEM, "memory error"},
        {BASS_ERROR_FILEOPEN, "can't open the file"},
        {BASS_ERROR_DRIVER, "can't find a free sound driver"},
        {BASS_ERROR_BUFLOST, "the sample buffer was lost - please report this!"},
        {BASS_ERROR_HANDLE, "invalid handle"},
        {BASS_ERROR_FORMAT, "unsupported sample format"},
        {BASS_ERROR_POSITION, "invalid playback position"},
        {BASS_ERROR_INIT, "BASS_Init has not been successfully called"},
        {BASS_ERROR_START, "BASS_Start has not been successfully called"},
        {BASS_ERROR_INITCD, "can't initialize CD"},
        {BASS_ERROR_CDINIT, "BASS_CDInit has not been successfully called"},
        {BASS_ERROR_NOCD, "no CD in drive"},
        {BASS_ERROR_CDTRACK, "can't play the selected CD track"},
        {BASS_ERROR_ALREADY, "already initialized"},
        {BASS_ERROR_CDVOL, "CD has no volume control"},
        {BASS_ERROR_NOPAUSE, "not paused"},
        {BASS_ERROR_NOTAUDIO, "not an audio track"},
        {BASS_ERROR_NOCHAN, "can't get a free channel"},
        {BASS_ERROR_ILLTYPE, "an illegal type was specified"},
        {BASS_ERROR_ILLPARAM, "an illegal parameter was specified"},
        {BASS_ERROR_NO3D, "no 3D support"},
        {BASS_ERROR_NOEAX, "no EAX support"},
        {BASS_ERROR_DEVICE, "illegal device number"},
        {BASS_ERROR_NOPLAY, "not playing"},
        {BASS_ERROR_FREQ, "illegal sample rate"},
        {BASS_ERROR_NOTFILE, "the stream is not a file stream"},
        {BASS_ERROR_NOHW, "no hardware voices available"},
        {BASS_ERROR_EMPTY, "the MOD music has no sequence data"},
        {BASS_ERROR_NONET, "no internet connection could be opened"},
        {BASS_ERROR_CREATE, "couldn't create the file"},
        {BASS_ERROR_NOFX, "effects are not enabled"},
        {BASS_ERROR_PLAYING, "the channel is playing"},
        {BASS_ERROR_NOTAVAIL, "requested data is not available"},
        {BASS_ERROR_DECODE, "the channel is a \"decoding channel\""},
        {BASS_ERROR_DX, "a sufficient DirectX version is not installed"},
        {BASS_ERROR_TIMEOUT, "connection timedout"},
        {BASS_ERROR_FILEFORM, "unsupported file format"},
        {BASS_ERROR_SPEAKER, "unavailable speaker"},
    };
    for (const auto& entry : cTexts)
        if (entry.Code == code) return entry.Text;
    return "some other mystery error";
}

BASS_BOOL BASS_Init(int device, uint32_t freq, uint32_t /*flags*/, void* /*win*/) {
    TAudioState& s = State();
    if (s.Initialized) return Fail(BASS_ERROR_ALREADY);
    if (device != BASS_DEFAULT_DEVICE && device != 1) return Fail(BASS_ERROR_DEVICE);
    if (freq < 8000 || freq > 192000) return Fail(BASS_ERROR_FREQ);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(BASS_ERROR_DRIVER);
    Mix_Init(MIX_INIT_OGG); // without Vorbis support only WAV data loads
    if (Mix_OpenAudio(static_cast<int>(freq), AUDIO_S16SYS, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return Fail(BASS_ERROR_DRIVER);
    }
    Mix_AllocateChannels(cMixChannels);
    s.Channels.assign(cMixChannels, TChannelEntry{});
    s.Initialized = true;
    s.Paused = false;
    return Succeed();
}

BASS_BOOL BASS_Free() {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    Mix_HaltChannel(-1);
    for (auto& [handle, entry] : s.Samples)
        Mix_FreeChunk(entry.Chunk);
    s.Samples.clear();
    s.Channels.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.Initialized = false;
    s.Paused = false;
    return Succeed();
}

BASS_BOOL BASS_Start() {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    if (s.Paused) Mix_Resume(-1);
    s.Paused = false;
    return Succeed();
}

BASS_BOOL BASS_Pause() {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    Mix_Pause(-1);
    s.Paused = true;
    return Succeed();
}

HSAMPLE BASS_SampleLoad(BASS_BOOL mem, const void* file, uint32_t offset, uint32_t length, uint32_t max,
                        uint32_t flags) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    if (file == nullptr || max < 1 || max > 65535) return Fail(BASS_ERROR_ILLPARAM);
    SDL_RWops* rw = nullptr;
    if (mem) {
        if (length == 0) return Fail(BASS_ERROR_ILLPARAM);
        rw = SDL_RWFromConstMem(static_cast<const uint8_t*>(file) + offset, static_cast<int>(length));
    } else {
        rw = SDL_RWFromFile(static_cast<const char*>(file), "rb");
        if (!rw) return Fail(BASS_ERROR_FILEOPEN);
        if (offset > 0) SDL_RWseek(rw, offset, RW_SEEK_SET);
    }
    if (!rw) return Fail(BASS_ERROR_MEM);
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (!chunk) return Fail(BASS_ERROR_FILEFORM);
    const HSAMPLE handle = s.NextSample++;
    s.Samples[handle] = TSampleEntry{chunk, max, flags};
    Succeed();
    return handle;
}

BASS_BOOL BASS_SampleFree(HSAMPLE handle) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    auto it = s.Samples.find(handle);
    if (it == s.Samples.end()) return Fail(BASS_ERROR_HANDLE);
    StopPlaybacksOf(handle);
    Mix_FreeChunk(it->second.Chunk);
    s.Samples.erase(it);
    return Succeed();
}

HCHANNEL BASS_SamplePlay(HSAMPLE handle) {
    return BASS_SamplePlayEx(handle, 0, -1, -1, -101, -1);
}

HCHANNEL BASS_SamplePlayEx(HSAMPLE handle, uint32_t start, int freq, int volume, int pan, BASS_BOOL loop) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    auto it = s.Samples.find(handle);
    if (it == s.Samples.end()) return Fail(BASS_ERROR_HANDLE);
    if (start != 0) return Fail(BASS_ERROR_POSITION);
    if (freq != -1) return Fail(BASS_ERROR_FREQ);
    if (volume < -1 || volume > 100 || pan < -101 || pan > 100) return Fail(BASS_ERROR_ILLPARAM);
    const TSampleEntry& sample = it->second;

    int oldest = -1;
    if (RunningPlaybacks(handle, oldest) >= static_cast<int>(sample.Max)) {
        if (!(sample.Flags & BASS_SAMPLE_OVER_POS)) return Fail(BASS_ERROR_NOCHAN);
        Mix_HaltChannel(oldest);
        s.Channels[oldest] = TChannelEntry{};
    }
    const int ch = FreeMixChannel();
    if (ch < 0) return Fail(BASS_ERROR_NOCHAN);

    TChannelEntry& entry = s.Channels[ch];
    entry.Volume = volume < 0 ? 100 : volume;
    entry.Pan = pan == -101 ? 0 : pan;
    ApplyVolume(ch, entry.Volume);
    ApplyPan(ch, entry.Pan);
    const bool looping = loop < 0 ? (sample.Flags & BASS_SAMPLE_LOOP) != 0 : loop != 0;
    if (Mix_PlayChannel(ch, sample.Chunk, looping ? -1 : 0) < 0) return Fail(BASS_ERROR_NOCHAN);
    if (s.Paused) Mix_Pause(ch); // output is held: the playback waits for BASS_Start
    entry.Handle = s.NextChannel++;
    entry.Sample = handle;
    entry.Order = s.NextOrder++;
    Succeed();
    return entry.Handle;
}

BASS_BOOL BASS_ChannelStop(HCHANNEL handle) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    const int ch = FindChannel(handle);
    if (ch < 0) return Fail(BASS_ERROR_HANDLE);
    Mix_HaltChannel(ch);
    s.Channels[ch] = TChannelEntry{};
    return Succeed();
}

BASS_BOOL BASS_ChannelIsActive(HCHANNEL handle) {
    if (!State().Initialized) return Fail(BASS_ERROR_INIT);
    const int ch = FindChannel(handle);
    Succeed();
    return ch >= 0 && ChannelBusy(ch) ? 1 : 0;
}

BASS_BOOL BASS_ChannelSetAttributes(HCHANNEL handle, int freq, int volume, int pan) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    const int ch = FindChannel(handle);
    if (ch < 0) return Fail(BASS_ERROR_HANDLE);
    if (freq != -1) return Fail(BASS_ERROR_FREQ);
    if (volume < -1 || volume > 100 || pan < -101 || pan > 100) return Fail(BASS_ERROR_ILLPARAM);
    TChannelEntry& entry = s.Channels[ch];
    if (volume >= 0) {
        entry.Volume = volume;
        ApplyVolume(ch, volume);
    }
    if (pan != -101) {
        entry.Pan = pan;
        ApplyPan(ch, pan);
    }
    return Succeed();
}

BASS_BOOL BASS_ChannelGetAttributes(HCHANNEL handle, int* freq, int* volume, int* pan) {
    TAudioState& s = State();
    if (!s.Initialized) return Fail(BASS_ERROR_INIT);
    const int ch = FindChannel(handle);
    if (ch < 0) return Fail(BASS_ERROR_HANDLE);
    int rate = 0;
    Mix_QuerySpec(&rate, nullptr, nullptr);
    if (freq) *freq = rate;
    if (volume) *volume = s.Channels[ch].Volume;
    if (pan) *pan = s.Channels[ch].Pan;
    return Succeed();
}

} // namespace velmora
