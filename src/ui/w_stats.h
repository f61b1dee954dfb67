// The statistics window shown over a finished level: the level's figures after a win, the player's
// totals after a game over. Its OK button lets the game window finish the level.
#pragma once

#include <cstdint>
#include <string>

#include "ui/w_menu.h"

namespace velmora {

// Filled by the game window at the end of a level.
// Chips, chains, bonuses, slices, best cascade, lives gained, seconds, time bonus, score before the
// bonus, final score.
extern int32_t LevelStats[10];
// The seven totals before the level (chips, chains, bonuses, slices, best cascade, seconds, lives),
// then the score.
extern int32_t TotalStats[8];
struct TPendingHiScore {
    std::string Name; // at most 11 characters
    int32_t Level = 0;
    int32_t Score = 0;
};
extern TPendingHiScore PendingHiScore;

class TStatsOwner {
  public:
    virtual ~TStatsOwner() = default;
    virtual uint8_t GameResult() const = 0; // 1 won, 3 game over
    virtual void FinishLeave() = 0;         // saves and goes to the next window
};

// "mm:ss", or "hh:mm:ss" from an hour on.
std::string StatsTimeText(int32_t seconds);

class TW_MenuStats : public TW_Menu {
  public:
    explicit TW_MenuStats(TStatsOwner* owner);
    ~TW_MenuStats() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_MenuStats"; }
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;

    TStatsOwner* Owner = nullptr;
    uint8_t Result = 1;
    TTexLabelEx* Names[3] = {};
    TTexLabelEx* Values[3] = {};

  private:
    void SetBlock(int32_t block, const std::string& names, const std::string& values);
    int32_t NextRowY = 0; // pixel top of the next block of rows
};

extern TW_MenuStats* StatsWindow;
TBasic* CreateMenuStats();

} // namespace velmora
