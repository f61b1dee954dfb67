// Everything the game remembers between runs: settings, up to four players with their progress and
// a saved level, and the ten high scores. "Game.dat" is the byte image of TGameDat: 100032 bytes,
// little-endian, no header. The structs below are laid out so that their memory is that image
// (natural alignment gives every offset; the asserts in gamedat.cpp pin each one). The records are
// trivial: value-initialise them ({}) to get zeros.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// A length byte and up to 11 single-byte characters.
struct TShortName {
    uint8_t Length;
    char Chars[11];

    std::string Get() const;           // clamps a hostile length byte to 11
    void Set(const std::string& text); // cut to 11 characters
};

struct TMultiplierSlot {
    int32_t XXFactor;
    float XXTime; // Delta units
};

constexpr int32_t cPlayerCount = 4;
constexpr int32_t cHiScoreCount = 10;
constexpr int32_t cBonusCodes = 12;
constexpr int32_t cSnapshotBytes = 32 * 32 * 24; // the board's 24-byte cells, column by column
constexpr int32_t cSliceFlags = 128;
constexpr int32_t cHelpTopics = 23;
constexpr int32_t cGameDatSize = 100032;
constexpr int32_t cPlayerRecSize = 24952;

struct TPlayerRec {
    TShortName Name;
    int32_t Level; // next level, 1-based; 0 new player; 77 campaign finished
    int32_t Lives;
    int32_t LivesAtStart;
    int32_t Score;
    int32_t ScoreAtStart;
    int32_t BonusCount[cBonusCodes]; // bonus code c at [c - 1]
    int32_t BonusCountAtStart[cBonusCodes];
    float TimeLeft; // Delta units at the last save
    TMultiplierSlot XX[2];
    uint8_t Reserved1[16];
    int32_t ChipsRemoved;
    int32_t Falls;
    int32_t BestCascade;
    int32_t Cascade;
    int32_t SlicesDropped;
    int32_t BonusesDropped;
    uint8_t LevelInProgress; // 1: LevelSnapshot holds an interrupted level
    uint8_t Reserved2[3];
    uint8_t LevelSnapshot[cSnapshotBytes]; // cell (X, Y) at ((X - 1) * 32 + (Y - 1)) * 24
    uint8_t SliceDone[cSliceFlags];        // slice i at [i - 1]
    uint8_t HelpShown[cHelpTopics];        // topic 0..22
    uint8_t Reserved3;
    int32_t TotalChips;
    int32_t TotalChains;
    int32_t TotalBonuses;
    int32_t TotalSlices;
    int32_t TotalBestCascade;
    int32_t TotalSeconds;
    int32_t TotalLives;
    uint8_t PlayerShowHelp;
    uint8_t PlayerDragNDrop;
    uint8_t Reserved4[2];
};

struct THiScoreRec {
    TShortName Name;
    int32_t Level;
    int32_t Score;
};

struct TGameDat {
    uint8_t Reserved1[4];
    float SoundVolume; // 0..1
    float MusicVolume; // 0..1
    uint8_t FullScreen;
    uint8_t ShowHelp;
    uint8_t DragNDrop;
    uint8_t Reserved2;
    int32_t PlayerCount;
    int32_t CurrentPlayer;               // 1..4, 0 = none
    TPlayerRec Players[cPlayerCount];    // player i at [i - 1]
    THiScoreRec HiScores[cHiScoreCount]; // best first
};

extern TGameDat GameDat;

// Reads "Game.dat" from the player data folder; a missing or short file gives the defaults.
void LoadGameDat();
// Writes the whole record atomically (temporary file, flush, rename); false, logged, when it failed
// or a scratch player is in use: the previous file is then left as it was.
bool SaveGameDat();
void SetDefaults();
// Player i (1..4): zeroed, level 0, 3 lives, help on, drag-and-drop off.
void ClearPlayer(int32_t i);
// A new game for player i: ClearPlayer, keeping the name and the help topics shown.
void ResetPlayer(int32_t i);
// Position 1..10 given to the entry; a score beating none still takes the tenth place. 0, and no
// change, while a scratch player is in use.
int32_t InsertHiScore(const std::string& name, int32_t level, int32_t score);
// The selected player's record. Without a valid selection a spare record (never saved) is given,
// so that a caller cannot write over the settings or another player.
TPlayerRec& CurrentPlayerRec();

// A level the game plays by itself (the idle demo) runs on a scratch record: while it is in use,
// CurrentPlayerRec is the scratch, SaveGameDat writes nothing and InsertHiScore changes nothing, so
// the players' records and the high scores stay exactly as they were.
void BeginScratchPlayer(const TPlayerRec& rec);
void EndScratchPlayer();
bool ScratchPlayerInUse();

// Byte image of the record, as stored.
void GameDatToBytes(const TGameDat& dat, uint8_t* out); // cGameDatSize bytes
void GameDatFromBytes(const uint8_t* in, TGameDat& dat);

} // namespace velmora
