// The high-score table: ten rows of number, player, country, town and score. After a game over
// the player's result is entered first and its row pulses.
#pragma once

#include <cstdint>
#include <string>

#include "app/gamedat.h"
#include "ui/w_menu.h"
#include "ui/w_stats.h"

namespace velmora {

class TTexLabelEx;
class TTexRect256;

constexpr int32_t cHiScoreColumns = 5;

// PendingHiScore, the result of the game that just ended, is left by the level window (w_stats.h).

// Pixel row of entry i (1..10).
int32_t HiScoreRowY(int32_t i);
extern const int32_t HiScoreColumnX[cHiScoreColumns];

class TW_HiScores : public TW_Menu {
  public:
    // afterGameOver: enter PendingHiScore and highlight its row; at the end play on.
    explicit TW_HiScores(bool afterGameOver);
    ~TW_HiScores() override;

    void StepMe() override;
    const char* ClassName() const override { return "TW_HiScores"; }

    bool CanInteract() override;
    bool KeyDown(uint16_t key) override; // Escape too answers with OK
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;

    // The pulse of the highlighted row at an age (Delta units): alpha between 0.5 and 1.
    static float PulseAlpha(float age);

    bool AfterGameOver = false;
    bool Highlight = false;
    int32_t HighlightRow = 0;
    TTexLabelEx* HighlightLabels[cHiScoreColumns] = {};
    TTexLabelEx* RowLabels[cHiScoreCount + 1][cHiScoreColumns] = {};

  private:
    void CreateHeader();
    void CreateRow(int32_t i);
};

extern TW_HiScores* HiScoresWindow;

TBasic* CreateHiScores();

} // namespace velmora
