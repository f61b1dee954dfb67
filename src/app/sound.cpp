#include "app/sound.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "platform/files.h"
#include "platform/win32.h"

namespace velmora {

TSoundDepot* SoundDepot = nullptr;

const TSoundTableRow SoundTable[39] = {
#define VELMORA_SOUND_ROW(name, slot, voices, interval) {#name, slot, voices, interval},
    VELMORA_SOUND_TABLE(VELMORA_SOUND_ROW)
#undef VELMORA_SOUND_ROW
};

namespace {

constexpr uint32_t cInitFlags = 34;        // default device, as the game always asked
constexpr uint32_t cSampleFlags = 0x20004; // BASS_SAMPLE_OVER_POS | BASS_SAMPLE_LOOP
constexpr uint32_t cPlaybacksPerSample = 3;
constexpr int cKeepFreq = -1;
constexpr int cKeepPan = -101;

// Module music names of the music folder; the placeholder is skipped, so none is loaded.
constexpr const char* cMusicNames[] = {"None"};

bool SoundOn() {
    return Options.SoundEnabled;
}

void LogBassError(const std::string& where, const std::string& detail = {}) {
    std::string text = where + " : " + BASS_ErrorText(BASS_ErrorGetCode());
    if (!detail.empty()) text += " \"" + detail + "\"";
    Log(text);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string WithoutExtension(const std::string& file) {
    const size_t dot = file.rfind('.');
    const size_t sep = file.find_last_of("\\/");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return file;
    return file.substr(0, dot);
}

// "descr.txt": one file name (the first word) per line that is not a comment; sorted.
bool ReadSoundList(const std::string& gamePath, std::vector<std::string>& files) {
    files.clear();
    std::vector<TDataLine> lines;
    if (!FileExists(gamePath) || !ReadDataFile(ResolvePath(gamePath), lines)) return false;
    for (const TDataLine& line : lines)
        if (!line.Key.empty()) files.push_back(line.Key);
    std::sort(files.begin(), files.end());
    return true;
}

int FindSound(const std::vector<std::string>& files, const std::string& name) {
    for (size_t i = 0; i < files.size(); ++i)
        if (EqualNoCase(WithoutExtension(files[i]), name)) return static_cast<int>(i);
    return -1;
}

bool ChannelRunning(HCHANNEL channel) {
    return channel != 0 && BASS_ChannelIsActive(channel);
}

void StopChannel(HCHANNEL channel, const char* where) {
    if (ChannelRunning(channel) && !BASS_ChannelStop(channel)) LogBassError(where);
}

} // namespace

int32_t BassVolume(float setting) {
    if (!std::isfinite(setting)) return 0;
    const float v = 1.0f * setting * 100.0f;
    if (v <= 0.0f) return 0;
    if (v >= 100.0f) return 100;
    return static_cast<int32_t>(v);
}

TSoundDepot::TSoundDepot() {
    SoundDepot = this;
    PrepareSlots();
    if (BASS_GetVersion() != BASS_VERSION_1_8) {
        Report("BASS version 1.8 was not loaded");
        MessageBox(nullptr, "BASS version 1.8 was not loaded", "Velmora", MB_OK | MB_ICONERROR);
    } else if (SoundOn())
        AudioStarted = StartAudio();
    InitSamples();
    InitMusics();
    CurrentMusic = -1;
}

TSoundDepot::~TSoundDepot() {
    FreeSamples();
    FreeMusics();
    if (AudioStarted) BASS_Free();
    if (SoundDepot == this) SoundDepot = nullptr;
}

bool TSoundDepot::StartAudio() {
    BASS_Free();
    if (!BASS_Init(BASS_DEFAULT_DEVICE, 44100, cInitFlags, nullptr)) {
        Report("Can't initialize digital sound system");
        Report(BASS_ErrorText(BASS_ErrorGetCode()));
        Report("Verify flag \"Sound Enabled\" in Korvanex options");
        Options.SoundEnabled = false;
        return false;
    }
    if (!BASS_Start()) LogBassError("TSoundDepot.Create");
    return true;
}

// Every slot of the table gets its voices and interval even when its file is missing, so that
// the play rules hold (and never divide by zero) for empty slots too.
void TSoundDepot::PrepareSlots() {
    for (const TSoundTableRow& row : SoundTable) {
        TSampleRec& rec = Samples[row.Slot];
        rec.VoiceCount = row.Voices;
        rec.MinInterval = row.MinInterval;
        rec.NextVoice = row.Voices - 1;
        rec.LastPlayed = -row.MinInterval;
    }
}

TSampleRec* TSoundDepot::Slot(int32_t slot) {
    return slot >= 0 && slot < cSampleSlots && Samples[slot].VoiceCount > 0 ? &Samples[slot] : nullptr;
}

const TSampleRec* TSoundDepot::Slot(int32_t slot) const {
    return const_cast<TSoundDepot*>(this)->Slot(slot);
}

void TSoundDepot::FreeSamples() {
    for (TSampleRec& rec : Samples) {
        for (TVoice& voice : rec.Voices) {
            if (voice.Sample && !BASS_SampleFree(voice.Sample)) LogBassError("TSoundDepot.FreeSamples");
            voice = TVoice{};
        }
        rec.Data.clear();
        rec.Data.shrink_to_fit();
        rec.Size = 0;
    }
}

// No module music is ever loaded; the handles are only cleared.
void TSoundDepot::FreeMusics() {
    for (HMUSIC& music : Musics)
        music = 0;
}

void TSoundDepot::SetMusicChannelsVolume(int32_t music, float volume) {
    if (!SoundOn() || music < 0 || music >= cMusicSlots || Musics[music] == 0) return;
    const int v = BassVolume(volume * GameDat.MusicVolume);
    if (!BASS_ChannelSetAttributes(Musics[music], cKeepFreq, v, cKeepPan))
        LogBassError("TSoundDepot.SetMusicChannelsVolume");
}

void TSoundDepot::SetAllMusicsVolume(float volume) {
    for (int32_t i = 0; i < cMusicSlots; ++i)
        SetMusicChannelsVolume(i, volume);
}

void TSoundDepot::InitSamples() {
    if (!SoundOn()) return;
    const std::string descr = Paths.Snd + "\\descr.txt";
    std::vector<std::string> files;
    if (!ReadSoundList(descr, files))
        Report("TSoundDepot.InitSamples: File not exists: " + Quoted(ResolvePath(descr)));
    for (const TSoundTableRow& row : SoundTable) {
        const int found = FindSound(files, row.Name);
        if (found >= 0)
            InitSample(Paths.Snd + "\\" + files[found], row.Slot, row.MinInterval, row.Voices);
        else
            Report("TSoundDepot.InitSamples: Can't find Sample " + Quoted(row.Name));
    }
}

void TSoundDepot::InitMusics() {
    if (!SoundOn()) return;
    const std::string descr = Paths.Mus + "\\descr.txt";
    std::vector<std::string> files;
    if (!ReadSoundList(descr, files))
        Report("TSoundDepot.InitMusics: File not exists: " + Quoted(ResolvePath(descr)));
    for (const char* name : cMusicNames) {
        if (std::string(name) == "None") continue;
        // Module music has no player in this build: a listed module is reported, not loaded.
        const int found = FindSound(files, name);
        const std::string path = found >= 0 ? Paths.Mus + "\\" + files[found] : Paths.Mus + "\\" + name;
        Report("TSoundDepot.InitMusic error: can't load music from " + Quoted(ResolvePath(path)));
    }
    SetAllMusicsVolume(1.0f);
}

void TSoundDepot::InitSample(const std::string& path, int32_t slot, int32_t minInterval, int32_t voiceCount) {
    if (!SoundOn()) return;
    if (slot < 0 || slot >= cSampleSlots) {
        Log("TSoundDepot.InitSample : bad slot; Slot=" + std::to_string(slot));
        return;
    }
    TSampleRec& rec = Samples[slot];
    for (TVoice& voice : rec.Voices) {
        if (voice.Sample) BASS_SampleFree(voice.Sample);
        voice = TVoice{};
    }
    rec.VoiceCount = std::clamp(voiceCount, 1, cMaxVoices);
    rec.MinInterval = std::max(minInterval, 0);
    rec.NextVoice = rec.VoiceCount - 1;
    rec.LastPlayed = -rec.MinInterval;
    const std::string file = ResolvePath(path);
    if (!FileExists(path)) {
        Report("TSoundDepot.InitSample : file doesn't exists " + Quoted(file));
        return;
    }
    if (!ReadWholeFile(path, rec.Data, cMaxSoundFileBytes) || rec.Data.empty() || rec.Data.size() > 0x7FFFFFFFu) {
        Report("TSoundDepot.InitSample : can't read file " + Quoted(file));
        rec.Data.clear();
        return;
    }
    rec.Size = static_cast<int32_t>(rec.Data.size());
    for (int32_t v = 0; v < rec.VoiceCount; ++v) {
        rec.Voices[v].Sample = BASS_SampleLoad(1, rec.Data.data(), 0, static_cast<uint32_t>(rec.Size),
                                               cPlaybacksPerSample, cSampleFlags);
        if (!rec.Voices[v].Sample) {
            LogBassError("TSoundDepot.InitSample", file);
            break;
        }
    }
}

bool TSoundDepot::CanPlay(int32_t slot) const {
    const TSampleRec* rec = Slot(slot);
    return rec && Ticks - rec->LastPlayed >= rec->MinInterval;
}

void TSoundDepot::PlaySample(int32_t slot) {
    TSampleRec* rec = Slot(slot);
    if (!SoundOn() || !rec || !CanPlay(slot)) return;
    TVoice& voice = rec->Voices[rec->NextVoice];
    if (voice.Sample) { // an empty slot keeps its rhythm but makes no call
        StopChannel(voice.Channel, "TSoundDepot.PlaySample");
        voice.Channel =
            BASS_SamplePlayEx(voice.Sample, 0, cKeepFreq, BassVolume(GameDat.SoundVolume), cKeepPan, 0);
        if (!voice.Channel) LogBassError("TSoundDepot.PlaySample");
    }
    rec->LastPlayed = Ticks;
    rec->NextVoice = (rec->NextVoice + 1) % rec->VoiceCount;
}

// Stops the voice of the slot's last playback.
void TSoundDepot::StopSample(int32_t slot) {
    TSampleRec* rec = Slot(slot);
    if (!SoundOn() || !rec || !CanPlay(slot)) return;
    const int32_t current = (rec->NextVoice + rec->VoiceCount - 1) % rec->VoiceCount;
    StopChannel(rec->Voices[current].Channel, "TSoundDepot.StopSample");
}

void TSoundDepot::PlayLooped(int32_t slot) {
    TSampleRec* rec = Slot(slot);
    if (!SoundOn() || !rec || !rec->Voices[0].Sample) return;
    TVoice& voice = rec->Voices[0];
    // A second request restarts the loop rather than leaving one that nothing could stop.
    StopChannel(voice.Channel, "TSoundDepot.PlayLooped");
    voice.Channel =
        BASS_SamplePlayEx(voice.Sample, 0, cKeepFreq, BassVolume(GameDat.SoundVolume), cKeepPan, 1);
    if (!voice.Channel) LogBassError("TSoundDepot.PlayLooped");
}

void TSoundDepot::StopLooped(int32_t slot) {
    TSampleRec* rec = Slot(slot);
    if (!SoundOn() || !rec) return;
    StopChannel(rec->Voices[0].Channel, "TSoundDepot.StopLooped");
}

bool TSoundDepot::IsPlaying(int32_t slot) const {
    const TSampleRec* rec = Slot(slot);
    return SoundOn() && rec && ChannelRunning(rec->Voices[0].Channel);
}

void TSoundDepot::PlayMusic(int32_t slot, int32_t mode, bool loop) {
    TSampleRec* rec = Slot(slot);
    if (!SoundOn() || !rec) return;
    // The music already going on is left alone; one that was stopped or has ended starts again.
    if (mode == 1 && slot == CurrentMusic && ChannelRunning(MusicChannel)) return;
    StopMusic();
    TVoice& voice = rec->Voices[0];
    MusicChannel = 0;
    if (voice.Sample) {
        MusicChannel = BASS_SamplePlayEx(voice.Sample, 0, cKeepFreq, BassVolume(GameDat.MusicVolume),
                                         cKeepPan, loop ? 1 : 0);
        if (!MusicChannel) LogBassError("TSoundDepot.PlayMusic");
        voice.Channel = MusicChannel;
    }
    CurrentMusic = slot;
}

void TSoundDepot::StopMusic() {
    if (!SoundOn()) return;
    StopChannel(MusicChannel, "TSoundDepot.StopMusic");
}

void TSoundDepot::UpdateMusicVolume() {
    if (!SoundOn() || !ChannelRunning(MusicChannel)) return;
    if (!BASS_ChannelSetAttributes(MusicChannel, cKeepFreq, BassVolume(GameDat.MusicVolume), cKeepPan))
        LogBassError("TSoundDepot.UpdateMusicVolume");
}

void TSoundDepot::PauseSound() {
    if (SoundOn() && !BASS_Pause()) LogBassError("TSoundDepot.PauseSound");
}

void TSoundDepot::ResumeSound() {
    if (SoundOn() && !BASS_Start()) LogBassError("TSoundDepot.ResumeSound");
}

} // namespace velmora
