// What the board needs of the objects of level play: score keeper, level timer, multiplier slots,
// bonus panel, interactive help, hammer, the game window, the fallen items, the board's particle
// master and the sound depot. Each global may be null; the board then goes without it.
// These are the board's minimal views; the level-play owner completes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/cells.h"
#include "engine/basic.h"

namespace velmora {

class TScores : public TMaster {
  public:
    TScores();
    ~TScores() override;
    const char* ClassName() const override { return "TScores"; }
    // One chip removed by a line: 5 x (cascade + length - 2) points times the multiplier.
    void AddChipScore(int32_t x, int32_t y, int32_t cascade, int32_t lineLength);
    struct TAward {
        int32_t X, Y, Cascade, LineLength, Points;
    };
    int32_t Score = 0;
    int32_t ChipScores = 0;     // chips scored
    std::vector<TAward> Awards; // the recent awards, oldest first (where the floating texts go)
};
extern TScores* Scores;

class TTimer : public TMaster {
  public:
    explicit TTimer(int32_t seconds);
    ~TTimer() override;
    const char* ClassName() const override { return "TTimer"; }
    void AddSeconds(int32_t seconds); // never above the level's full time
    float TimeTotal = 0, TimeLeft = 0;
};
extern TTimer* Timer;

class TBonusXX : public TMaster {
  public:
    TBonusXX();
    ~TBonusXX() override;
    const char* ClassName() const override { return "TBonusXX"; }
    int32_t Multiplier() const { return Factor[0] * Factor[1]; }
    int32_t Factor[2] = {1, 1};
};
extern TBonusXX* BonusXX;

class TBonusPanel : public TMaster {
  public:
    TBonusPanel();
    ~TBonusPanel() override;
    const char* ClassName() const override { return "TBonusPanel"; }
    int32_t Hovered = 0; // slot under the pointer; 2 sap, 4 magic lamp
};
extern TBonusPanel* BonusPanel;

class THelp : public TMaster {
  public:
    THelp();
    ~THelp() override;
    const char* ClassName() const override { return "THelp"; }
    bool MouseOver() override { return PointerOver; }
    virtual void RefusedSwap(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    bool PointerOver = false;
    int32_t RefusedSwaps = 0;
};
extern THelp* Help;

class THammer : public TMaster {
  public:
    THammer();
    ~THammer() override;
    const char* ClassName() const override { return "THammer"; }
    bool Accepts(const TCell& cell) const; // a chip, or an item other than the angry chip
    void Disarm();
    bool Armed = true;
};
extern THammer* Hammer;

// The game window as the board sees it; the game window implements it and sets BoardGame.
class TBoardGameLink {
  public:
    virtual ~TBoardGameLink() = default;
    virtual bool LevelComplete() const = 0;
    virtual void LevelWon() = 0;
    virtual bool HasFocusNow() const = 0; // the window is the FocusObject
    virtual bool Paused() const = 0;      // its pause state
    virtual bool TransitionRunning() const = 0;
};
extern TBoardGameLink* BoardGame;

// Items that leave the board at the bottom; children of the board.
class TFallenItem : public TMaster {
  public:
    TFallenItem(int32_t col, int32_t value, uint8_t kind, int32_t row)
        : Col(col), Row(row), Value(value), Kind(kind) {}
    const char* ClassName() const override { return "TFallenItem"; }
    void StepMe() override;
    int32_t Col, Row, Value;
    uint8_t Kind;
};
class TFallenArt : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenArt"; }
    void StepMe() override; // the slice arrives in the art panel
};
class TFallenVisBonus : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenVisBonus"; }
};
class TFallenBonusMoney : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenBonusMoney"; }
};
class TFallenBonusXX : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenBonusXX"; }
};
class TFallenBonusAngryChip : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenBonusAngryChip"; }
};

// Plays a sample of the sound depot by name; the names played are kept for inspection.
void BoardPlaySample(const std::string& name);
extern std::vector<std::string> BoardSamplesPlayed;

} // namespace velmora
