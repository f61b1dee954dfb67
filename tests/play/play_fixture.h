// Shared set-up of the level-play tests: a temporary data folder with one country and level files
// written by the test, one player, a fake mouse, and helpers that step the game window.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "play/w_game.h"

namespace velmora::playtest {

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora_play_XXXXXX";
        Dir = mkdtemp(pattern);
        InitDataPaths(Dir);
        SetLogFile(Dir + "/Error.log");
        InitScreenGeometryFor(800, 600); // pictures and flights take their sizes from the pixel size
        Countries = TCountryTable{};
        GameDat = TGameDat{};
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        Rec().Name.Set("Tester");
        Rec().Level = 2;
        Rec().Lives = 3;
        for (uint8_t& shown : Rec().HelpShown)
            shown = 1; // help bubbles stop the clock; they are tested on their own
        Options.CONST_BonusLifeScore = 10000;
        Options.CONST_BonusMoneyScores = 500;
        Delta = 1;
        DeltaSq = 1;
        RandomSeed(99);
        BoardSamplesPlayed.clear();
        WriteFile("Levels/Countries.txt", "CountryCount 1\nCountryNames Greece\nLevelCount 3\n");
        ReadCountries();
        // Level 2: a 5 x 5 board with one slice at the top and a bonus; 100 seconds.
        WriteFile("Levels/Greece/02.map", Level(5, 5, 100));
        Mouse = &MouseObj;
    }

    void TearDown() override {
        delete Window;
        Window = nullptr;
        Mouse = nullptr;
        std::filesystem::remove_all(Dir);
    }

    static TPlayerRec& Rec() { return CurrentPlayerRec(); }

    void WriteFile(const std::string& rel, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(Dir + "/" + rel).parent_path());
        std::ofstream(Dir + "/" + rel, std::ios::binary) << text;
    }

    static std::string Level(int w, int h, int seconds) {
        std::ostringstream s;
        s << "Time " << seconds << "\nColorCount 5\nColors 1 2 3 4 5\nField " << w << "x" << h << "\n";
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                s << (y == 0 && x == 2 ? "a001" : "c000");
            s << "\n";
        }
        return s.str();
    }

    TW_Game& Open() {
        Window = new TW_Game();
        return *Window;
    }

    // One frame of the window; `event` is this frame's left-button event.
    void Frame(uint8_t event = meNone) {
        ++FrameCount;
        GameTime += Delta;
        MouseObj.LeftEvent = event;
        MouseObj.ButtonFrame = event != meNone ? FrameCount : -1;
        Window->Step();
        MouseObj.LeftEvent = meNone;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Steps until the window reaches a state (or the budget runs out); the steps taken.
    int RunTo(int32_t state, int budget = 5000) {
        int n = 0;
        while (Window->State != state && n < budget) {
            Frame();
            ++n;
        }
        return n;
    }
    // Through intro and drop-in by one click.
    void StartPlaying() {
        Frame(mePressed);
        ASSERT_LT(RunTo(gsPlaying, 10), 10);
    }

    std::string Dir;
    TMyMouse MouseObj;
    TW_Game* Window = nullptr;
};

} // namespace velmora::playtest
