#include "app/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/gamedat.h"
#include "services_fixture.h"

namespace velmora {
namespace {

using testing::MakeToneWav;
using testing::TScopedEnv;
using testing::TServicesFolder;

void Wait(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class SoundDepotTest : public ::testing::Test {
  protected:
    SoundDepotTest() : Driver("SDL_AUDIODRIVER", DriverName()) {
        GameDat = TGameDat{};
        GameDat.SoundVolume = 0.75f;
        GameDat.MusicVolume = 0.75f;
        Options.SoundEnabled = true;
    }
    ~SoundDepotTest() override { GameDat = TGameDat{}; }
    static std::string DriverName() { return "dummy"; }

    // Puts a tone file for each name in the effects folder and lists them in "descr.txt".
    void WriteSounds(const std::vector<std::string>& names, double seconds = 1.0) {
        std::string descr = "; effects\n\n";
        for (const auto& name : names) {
            Folder.WriteBytes("Sound/Snd/" + name + ".wav", MakeToneWav(seconds, 0.5));
            descr += name + ".wav  free text after the name\n";
        }
        Folder.Write("Sound/Snd/descr.txt", descr);
        Folder.Write("Sound/Mus/descr.txt", "; no module music\n");
    }
    // Plays the slot once at each listed depot tick.
    static void PlayAtTicks(TSoundDepot& depot, int32_t slot, std::initializer_list<int32_t> ticks) {
        for (int32_t t : ticks) {
            depot.Ticks = t;
            depot.PlaySample(slot);
        }
    }

    TServicesFolder Folder;
    TScopedEnv Driver;
};

TEST_F(SoundDepotTest, ABurstWithinTheIntervalPlaysOnce) {
    WriteSounds({"StartLevel_FallDown"});
    TSoundDepot depot;
    ASSERT_TRUE(Options.SoundEnabled);
    EXPECT_EQ(SoundDepot, &depot);
    const TSampleRec& rec = depot.Samples[sndStartLevel_FallDown];
    ASSERT_EQ(rec.VoiceCount, 4);
    PlayAtTicks(depot, sndStartLevel_FallDown, {0, 1, 2});
    int played = 0;
    for (const TVoice& v : rec.Voices)
        played += v.Channel != 0;
    EXPECT_EQ(played, 1);
    EXPECT_NE(rec.Voices[3].Channel, 0u); // the first playback takes the last voice
    EXPECT_EQ(rec.LastPlayed, 0);
}

TEST_F(SoundDepotTest, RequestsFiveTicksApartPlayTwiceOnTwoVoices) {
    WriteSounds({"StartLevel_FallDown"});
    TSoundDepot depot;
    const TSampleRec& rec = depot.Samples[sndStartLevel_FallDown];
    PlayAtTicks(depot, sndStartLevel_FallDown, {0, 5});
    ASSERT_NE(rec.Voices[3].Channel, 0u);
    ASSERT_NE(rec.Voices[0].Channel, 0u);
    EXPECT_NE(rec.Voices[3].Channel, rec.Voices[0].Channel);
    EXPECT_TRUE(BASS_ChannelIsActive(rec.Voices[3].Channel)); // both sound at once
    EXPECT_TRUE(BASS_ChannelIsActive(rec.Voices[0].Channel));
    EXPECT_EQ(rec.NextVoice, 1);
    EXPECT_EQ(rec.LastPlayed, 5);
}

TEST_F(SoundDepotTest, ASingleVoiceSlotRestartsItsVoice) {
    WriteSounds({"Button1"});
    TSoundDepot depot;
    const TSampleRec& rec = depot.Samples[sndButton1];
    PlayAtTicks(depot, sndButton1, {0});
    const HCHANNEL first = rec.Voices[0].Channel;
    PlayAtTicks(depot, sndButton1, {0}); // interval 0: the same frame plays again
    EXPECT_NE(rec.Voices[0].Channel, first);
    EXPECT_FALSE(BASS_ChannelIsActive(first));
    EXPECT_TRUE(BASS_ChannelIsActive(rec.Voices[0].Channel));
    depot.StopSample(sndButton1);
    EXPECT_FALSE(BASS_ChannelIsActive(rec.Voices[0].Channel));
}

TEST_F(SoundDepotTest, EffectsPlayAtTheVolumeOfThePlayerData) {
    WriteSounds({"Bonus"});
    GameDat.SoundVolume = 0.5f;
    TSoundDepot depot;
    depot.PlaySample(sndBonus);
    int volume = -1;
    ASSERT_TRUE(
        BASS_ChannelGetAttributes(depot.Samples[sndBonus].Voices[0].Channel, nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 50);
    EXPECT_EQ(BassVolume(0.75f), 75);
    EXPECT_EQ(BassVolume(0.999f), 99); // truncated
    EXPECT_EQ(BassVolume(7.0f), 100);
    EXPECT_EQ(BassVolume(-1.0f), 0);
}

TEST_F(SoundDepotTest, MusicModeOneLeavesTheSameMusicPlaying) {
    WriteSounds({"Music_Menu", "Music_Map"});
    TSoundDepot depot;
    EXPECT_EQ(depot.CurrentMusic, -1);
    depot.PlayMusic(sndMusic_Menu, 0, true);
    const HCHANNEL menu = depot.MusicChannel;
    ASSERT_TRUE(BASS_ChannelIsActive(menu));
    depot.PlayMusic(sndMusic_Menu, 1, true);
    EXPECT_EQ(depot.MusicChannel, menu);
    depot.PlayMusic(sndMusic_Menu, 0, true); // mode 0 restarts
    EXPECT_NE(depot.MusicChannel, menu);
    EXPECT_FALSE(BASS_ChannelIsActive(menu));

    depot.PlayMusic(sndMusic_Map, 1, true);
    EXPECT_EQ(depot.CurrentMusic, sndMusic_Map);
    const HCHANNEL map = depot.MusicChannel;
    GameDat.MusicVolume = 0.25f;
    depot.UpdateMusicVolume();
    int volume = -1;
    ASSERT_TRUE(BASS_ChannelGetAttributes(map, nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 25);

    depot.StopMusic();
    EXPECT_FALSE(BASS_ChannelIsActive(map));
    depot.PlayMusic(sndMusic_Map, 1, true); // a stopped music starts again
    EXPECT_TRUE(BASS_ChannelIsActive(depot.MusicChannel));
}

TEST_F(SoundDepotTest, LoopedSoundsRunUntilStopped) {
    WriteSounds({"Scores"}, 0.05);
    TSoundDepot depot;
    EXPECT_FALSE(depot.IsPlaying(sndScores));
    depot.PlayLooped(sndScores);
    Wait(150); // three times the sound's length
    EXPECT_TRUE(depot.IsPlaying(sndScores));
    depot.StopLooped(sndScores);
    EXPECT_FALSE(depot.IsPlaying(sndScores));
}

TEST_F(SoundDepotTest, MissingFilesAreReportedAndTheirSlotsStaySilent) {
    Folder.Write("Sound/Snd/descr.txt", "Button1.wav\nBonus.ogg\n// comment\n");
    Folder.WriteBytes("Sound/Snd/button1.WAV", MakeToneWav(0.1, 0.5)); // letter case differs on disk
    TSoundDepot depot;
    const std::string log = Folder.LogText();
    EXPECT_NE(log.find("TSoundDepot.InitSample : file doesn't exists \""), std::string::npos);
    EXPECT_NE(log.find("Bonus.ogg\""), std::string::npos);
    EXPECT_NE(log.find("TSoundDepot.InitSamples: Can't find Sample \"Match1\""), std::string::npos);
    EXPECT_NE(log.find("TSoundDepot.InitMusics: File not exists: \""), std::string::npos);
    EXPECT_NE(depot.Samples[sndButton1].Voices[0].Sample, 0u);
    EXPECT_GT(depot.Samples[sndButton1].Size, 0);

    depot.Ticks = 3;
    depot.PlaySample(sndBonus); // empty slot: keeps its rhythm, makes no sound
    EXPECT_EQ(depot.Samples[sndBonus].Voices[0].Channel, 0u);
    EXPECT_EQ(depot.Samples[sndBonus].LastPlayed, 3);
    depot.PlayMusic(sndMusic_Game10, 0, true);
    EXPECT_EQ(depot.MusicChannel, 0u);
    depot.PlaySample(-1); // out of range slots are ignored
    depot.PlaySample(200);
}

TEST_F(SoundDepotTest, DataThatIsNoSoundLogsTheAudioError) {
    Folder.Write("Sound/Snd/descr.txt", "Click.wav\n");
    Folder.Write("Sound/Snd/Click.wav", "this is not a wave file");
    TSoundDepot depot;
    EXPECT_EQ(depot.Samples[sndClick].Voices[0].Sample, 0u);
    EXPECT_NE(Folder.LogText().find("TSoundDepot.InitSample : unsupported file format"), std::string::npos);
}

TEST_F(SoundDepotTest, WithSoundOffNothingIsLoadedOrPlayed) {
    WriteSounds({"Button1"});
    Options.SoundEnabled = false;
    TSoundDepot depot;
    EXPECT_TRUE(depot.Samples[sndButton1].Data.empty());
    depot.Ticks = 10;
    depot.PlaySample(sndButton1);
    depot.PlayLooped(sndButton1);
    depot.PlayMusic(sndButton1, 0, false);
    EXPECT_EQ(depot.Samples[sndButton1].LastPlayed, 0);
    EXPECT_FALSE(depot.IsPlaying(sndButton1));
    EXPECT_EQ(depot.CurrentMusic, -1);
    EXPECT_EQ(Folder.LogText().find("TSoundDepot"), std::string::npos);
}

TEST_F(SoundDepotTest, AFailedAudioStartTurnsSoundOffForTheRun) {
    WriteSounds({"Button1"});
    TScopedEnv noDevice("SDL_AUDIODRIVER", "no_such_audio_driver");
    TSoundDepot depot;
    EXPECT_FALSE(Options.SoundEnabled);
    const std::string log = Folder.LogText();
    EXPECT_NE(log.find("Can't initialize digital sound system\ncan't find a free sound driver\n"
                       "Verify flag \"Sound Enabled\" in Korvanex options"),
              std::string::npos);
    depot.PlaySample(sndButton1);
    EXPECT_EQ(depot.Samples[sndButton1].Voices[0].Channel, 0u);
    EXPECT_EQ(log.find("Can't find Sample"), std::string::npos); // nothing loaded, nothing reported
}

TEST_F(SoundDepotTest, TheContentPackFillsEverySlot) {
    const std::string data = VELMORA_DATA_DIR;
    if (!std::filesystem::exists(data + "/Sound/Snd/descr.txt"))
        GTEST_SKIP() << "no content pack in " << data;
    InitDataPaths(data);
    TSoundDepot depot;
    for (const TSoundTableRow& row : SoundTable) {
        const TSampleRec& rec = depot.Samples[row.Slot];
        for (int32_t v = 0; v < row.Voices; ++v)
            EXPECT_NE(rec.Voices[v].Sample, 0u) << row.Name << " voice " << v;
    }
    EXPECT_EQ(Folder.LogText().find("TSoundDepot"), std::string::npos) << Folder.LogText();
    depot.PlayMusic(sndMusic_Game31, 0, true); // an Ogg Vorbis loop
    EXPECT_TRUE(BASS_ChannelIsActive(depot.MusicChannel));
}

// ---- What reaches the speakers: SDL's disk driver writes the mixed output to a file. ----------

struct TRecording {
    std::vector<int16_t> Samples; // interleaved stereo

    int Peak(size_t from = 0, size_t to = SIZE_MAX) const {
        int peak = 0;
        for (size_t i = from; i < std::min(to, Samples.size()); ++i)
            peak = std::max(peak, std::abs(int(Samples[i])));
        return peak;
    }
    size_t FirstSound(size_t from = 0) const {
        for (size_t i = from; i < Samples.size(); ++i)
            if (Samples[i] != 0) return i;
        return Samples.size();
    }
    // Length of the longest run of silence after `from` that has sound after it again.
    size_t LongestInnerSilence(size_t from) const {
        size_t best = 0, run = 0;
        for (size_t i = from; i < Samples.size(); ++i) {
            if (Samples[i] == 0) {
                ++run;
            } else {
                best = std::max(best, run);
                run = 0;
            }
        }
        return best;
    }
};

class AudioOutputTest : public SoundDepotTest {
  protected:
    // Runs `play` on a depot whose output goes to a file, keeps the output running `ms` longer,
    // and returns what was written.
    template <class F> TRecording Record(const std::string& name, int ms, F play) {
        const auto file = Folder.Dir / (name + ".raw");
        {
            TScopedEnv disk("SDL_AUDIODRIVER", "disk");
            TScopedEnv output("SDL_DISKAUDIOFILE", file.string());
            TSoundDepot depot;
            EXPECT_TRUE(Options.SoundEnabled) << Folder.LogText();
            play(depot);
            Wait(ms);
        }
        const auto bytes = TServicesFolder::ReadFileBytes(file);
        TRecording r;
        r.Samples.resize(bytes.size() / 2);
        std::memcpy(r.Samples.data(), bytes.data(), r.Samples.size() * 2);
        return r;
    }
};

TEST_F(AudioOutputTest, AnEffectIsHeardAndItsLoudnessFollowsTheVolume) {
    WriteSounds({"Match1"}, 0.3);
    GameDat.SoundVolume = 1.0f;
    const TRecording full = Record("full", 600, [](TSoundDepot& d) { d.PlaySample(sndMatch1); });
    GameDat.SoundVolume = 0.5f;
    const TRecording half = Record("half", 600, [](TSoundDepot& d) { d.PlaySample(sndMatch1); });

    const int fullPeak = full.Peak(), halfPeak = half.Peak();
    EXPECT_NEAR(fullPeak, 16383, 400); // the tone's own amplitude, half of full scale
    ASSERT_GT(halfPeak, 0);
    EXPECT_NEAR(double(halfPeak) / fullPeak, 0.5, 0.03);
}

TEST_F(AudioOutputTest, PausingSilencesTheOutputUntilResumed) {
    WriteSounds({"Scores"}, 0.5);
    const TRecording r = Record("pause", 250, [](TSoundDepot& d) {
        d.PlayLooped(sndScores);
        Wait(300);
        d.PauseSound();
        Wait(500);
        d.ResumeSound();
    });
    const size_t start = r.FirstSound();
    ASSERT_LT(start, r.Samples.size()) << "nothing was heard";
    // 500 ms of pause: at least 200 ms (stereo samples) of silence between sound before and after
    // (less than the whole pause, as a busy machine may run the output thread late).
    EXPECT_GT(r.LongestInnerSilence(start), size_t(0.2 * 44100 * 2));
    EXPECT_GT(r.Peak(start), 10000);
    const size_t tail = r.Samples.size() - size_t(0.1 * 44100 * 2);
    EXPECT_GT(r.Peak(tail), 10000); // sound again after resuming
}

} // namespace
} // namespace velmora
