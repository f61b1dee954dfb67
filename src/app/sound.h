// The sound store: every effect and music piece is loaded at start-up from the files listed in
// "descr.txt" and played by slot number. Bursts of one effect are limited by a minimum interval in
// depot ticks (one tick per frame) and spread over up to four voices. With sound off in the options
// every operation does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"
#include "platform/bass.h"

namespace velmora {

// The sound table: name (the file name without extension), slot, voices, minimum interval in frames.
#define VELMORA_SOUND_TABLE(X)                                                                               \
    X(Button1, 1, 1, 0)                                                                                      \
    X(Button2, 2, 1, 0)                                                                                      \
    X(Bonus, 3, 1, 0)                                                                                        \
    X(ExtraLife, 4, 1, 0)                                                                                    \
    X(Match1, 5, 1, 0)                                                                                       \
    X(Match2, 6, 1, 0)                                                                                       \
    X(MatchLock, 7, 1, 0)                                                                                    \
    X(Mismatch, 8, 1, 0)                                                                                     \
    X(Typing, 9, 1, 0)                                                                                       \
    X(TrackBarMove, 10, 1, 0)                                                                                \
    X(HelpAppear, 11, 1, 0)                                                                                  \
    X(Click, 12, 1, 0)                                                                                       \
    X(ChangeChips, 13, 1, 0)                                                                                 \
    X(StartLevel_FallDown, 14, 4, 5)                                                                         \
    X(StartLevel_Go, 15, 1, 0)                                                                               \
    X(EndLevel_Explode, 16, 4, 5)                                                                            \
    X(EndLevel_GameWin1, 17, 1, 0)                                                                           \
    X(EndLevel_GameWin2, 18, 1, 0)                                                                           \
    X(FallenArtefact, 19, 4, 5)                                                                              \
    X(FallenVisBonus, 20, 3, 5)                                                                              \
    X(FallenBonusXX, 21, 2, 5)                                                                               \
    X(FallenMoney, 22, 2, 5)                                                                                 \
    X(FallenAngryChip, 23, 1, 0)                                                                             \
    X(Scores, 24, 1, 0)                                                                                      \
    X(LowTime, 25, 1, 0)                                                                                     \
    X(ArtMagic, 26, 1, 0)                                                                                    \
    X(No, 27, 1, 0)                                                                                          \
    X(HammerUsed, 28, 1, 0)                                                                                  \
    X(SapUsed, 29, 1, 0)                                                                                     \
    X(MagicLampUsed, 30, 1, 0)                                                                               \
    X(ClockUsed, 31, 1, 0)                                                                                   \
    X(Music_Menu, 32, 1, 0)                                                                                  \
    X(Music_Map, 33, 1, 0)                                                                                   \
    X(Music_Game10, 34, 1, 0)                                                                                \
    X(Music_Game11, 35, 1, 0)                                                                                \
    X(Music_Game20, 36, 1, 0)                                                                                \
    X(Music_Game21, 37, 1, 0)                                                                                \
    X(Music_Game30, 38, 1, 0)                                                                                \
    X(Music_Game31, 39, 1, 0)

// Slot numbers by name: sndStartLevel_FallDown = 14.
enum TSoundSlot : int32_t {
#define VELMORA_SOUND_ENUM(name, slot, voices, interval) snd##name = slot,
    VELMORA_SOUND_TABLE(VELMORA_SOUND_ENUM)
#undef VELMORA_SOUND_ENUM
};

struct TSoundTableRow {
    const char* Name;
    int32_t Slot;
    int32_t Voices;
    int32_t MinInterval;
};
extern const TSoundTableRow SoundTable[39];

constexpr int32_t cSampleSlots = 256;
constexpr int32_t cMaxVoices = 4;
constexpr int32_t cMusicSlots = 8;

struct TVoice {
    HSAMPLE Sample = 0;
    HCHANNEL Channel = 0; // of its last playback
};

struct TSampleRec {
    std::vector<uint8_t> Data; // the whole sound file
    int32_t Size = 0;
    int32_t VoiceCount = 0; // 1..4 for the slots of the table, 0 elsewhere
    TVoice Voices[cMaxVoices];
    int32_t NextVoice = 0;
    int32_t LastPlayed = 0;  // depot tick of the last playback
    int32_t MinInterval = 0; // ticks between two playbacks
};

class TSoundDepot : public TBasic {
  public:
    // Starts the audio library (when sound is on) and loads every sound; a failed start turns
    // sound off for the run. Becomes the global SoundDepot.
    TSoundDepot();
    ~TSoundDepot() override;
    const char* ClassName() const override { return "TSoundDepot"; }

    virtual void FreeSamples();                                       // 11
    virtual void FreeMusics();                                        // 12
    virtual void SetMusicChannelsVolume(int32_t music, float volume); // 13: volume 0..1 x MusicVolume
    virtual void SetAllMusicsVolume(float volume);                    // 14
    virtual void InitSamples();                                       // 15
    virtual void InitMusics();                                        // 16

    // Path: a game path; voiceCount 1..4.
    void InitSample(const std::string& path, int32_t slot, int32_t minInterval, int32_t voiceCount);
    void PlaySample(int32_t slot);
    void StopSample(int32_t slot);
    bool CanPlay(int32_t slot) const;
    void PlayLooped(int32_t slot);
    void StopLooped(int32_t slot);
    bool IsPlaying(int32_t slot) const;
    // mode 0: restart; mode 1: leave the music going when it is already this slot's.
    void PlayMusic(int32_t slot, int32_t mode, bool loop);
    void StopMusic();
    void UpdateMusicVolume();
    void PauseSound();
    void ResumeSound();

    int32_t CurrentMusic = -1;
    TSampleRec Samples[cSampleSlots];
    HMUSIC Musics[cMusicSlots] = {};
    HCHANNEL MusicChannel = 0;

  private:
    TSampleRec* Slot(int32_t slot);
    const TSampleRec* Slot(int32_t slot) const;
    void PrepareSlots();
    bool StartAudio();
    bool AudioStarted = false; // BASS_Init succeeded: freed again on destruction
};

extern TSoundDepot* SoundDepot;

// BASS volume of a playback: the setting (0..1) x 100, truncated, within 0..100.
int32_t BassVolume(float setting);

} // namespace velmora
