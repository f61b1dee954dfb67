// Shared set-up of the board tests: a temporary data folder with a country table and level files
// written by the test, a clean player record, and helpers to lay out and inspect cells.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/flies.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/basic.h"
#include "engine/random.h"

namespace velmora::boardtest {

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora_board_XXXXXX";
        Dir = mkdtemp(pattern);
        std::filesystem::create_directories(Dir + "/Levels/Greece");
        InitDataPaths(Dir);
        SetLogFile(Dir + "/Error.log");
        Countries = TCountryTable{};
        GameDat = TGameDat{};
        CurrentPlayerRec() = TPlayerRec{};
        CurrentPlayerRec().Level = 1;
        Delta = 1;
        RandomSeed(1234);
        BoardSamplesPlayed.clear();
        WriteFile("Levels/Countries.txt", "CountryCount 1\nCountryNames Greece\nLevelCount 1\n");
        ReadCountries();
    }

    void TearDown() override {
        Board.reset();
        Mouse = nullptr;
        std::filesystem::remove_all(Dir);
    }

    void WriteFile(const std::string& rel, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(Dir + "/" + rel).parent_path());
        std::ofstream(Dir + "/" + rel, std::ios::binary) << text;
    }

    // A level of plain chips in the given colours.
    static std::string PlainLevel(int w, int h, const std::string& colours, int count) {
        std::ostringstream s;
        s << "Time 120\nColorCount " << count << "\nColors " << colours << "\nField " << w << "x" << h
          << "\n";
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                s << "c000";
            s << "\n";
        }
        return s.str();
    }

    TNet& MakeBoard(int w, int h, const std::string& colours = "1 2 3 4 5", int count = 5) {
        WriteFile("Levels/Greece/01.map", PlainLevel(w, h, colours, count));
        Board = std::make_unique<TNet>(Info);
        return *Board;
    }

    // Tokens by row, blank-separated: "3" chip of colour 3, "3x"/"3X" with one/two chains,
    // "s4" slice 4, "b5" bonus 5, "-" hole, "w" blank cell.
    void Arrange(const std::vector<std::string>& rows) {
        TNet& n = *Board;
        n.StopAnimations();
        for (size_t y = 0; y < rows.size(); ++y) {
            std::istringstream in(rows[y]);
            std::string t;
            for (int x = 1; in >> t; ++x) {
                TCell& c = n.Cells.At(x, static_cast<int32_t>(y) + 1);
                c = TCell{};
                c.Back = 1;
                if (t == "-") {
                    c.Kind = ckNone;
                } else if (t == "w") {
                    c.Kind = ckBlank;
                    c.Back = 0;
                } else if (t[0] == 's' || t[0] == 'b') {
                    c.Kind = t[0] == 's' ? ckSlice : ckBonus;
                    c.Value = std::atoi(t.c_str() + 1);
                } else {
                    c.Kind = ckChip;
                    c.Value = t[0] - '0';
                    if (t.size() > 1) c.Lock = t[1] == 'X' ? 2 : 1;
                }
            }
        }
    }

    // Steps the board until it is idle again (or the step budget runs out).
    int Settle(int budget = 5000) {
        int steps = 0;
        while (steps < budget && !(Board->AState == asIdle)) {
            Board->Step();
            ++steps;
        }
        return steps;
    }

    std::string ReadLog() const {
        std::ifstream in(Dir + "/Error.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Puts the pointer over a cell with this frame's button event.
    void PointAt(int32_t x, int32_t y, uint8_t event, bool down) {
        MouseObj.X = Board->PixelLeft() + 40 * (x - 1) + 20;
        MouseObj.Y = Board->PixelTop() + 40 * (y - 1) + 20;
        MouseObj.LeftEvent = event;
        MouseObj.LeftDown = down;
        Mouse = &MouseObj;
    }
    void Click(int32_t x, int32_t y) {
        PointAt(x, y, mePressed, true);
        Board->Step();
        MouseObj.LeftEvent = meNone;
        MouseObj.LeftDown = false;
    }

    std::string Dir;
    TLevelInfo Info;
    std::unique_ptr<TNet> Board;
    TMyMouse MouseObj;
};

inline bool AnyLine(const TNet& n) {
    for (int32_t x = 1; x <= n.Info.Width; ++x)
        for (int32_t y = 1; y <= n.Info.Height; ++y) {
            int32_t count = 0;
            if (n.CheckLine(n.Cells, x, y, count)) return true;
        }
    return false;
}

} // namespace velmora::boardtest
