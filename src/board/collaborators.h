// The objects of level play that the board calls: score keeper, level timer, lives, message strip,
// multiplier slots, bonus panel, interactive help, hammer, the game window (through a link) and the
// items that fall out of the board. Each global may be null; the board then goes without it.
// They live here, below the game window, so the board calls one set of globals; the game window
// (src/play) builds them and reaches them through the same globals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/cells.h"
#include "engine/basic.h"
#include "render/spline.h"

namespace velmora {

class TTexRect;
class TTexLabelEx;
class TParticles;
class TFallenBonusXX;

// The font of a text size code of the game screen.
class TIndexedTextureFont;
TIndexedTextureFont* GameTextFont(int32_t sizeCode);
// A label anchored at a pixel; hAlign 0 centre, 1 left edge at it, 2 right edge at it.
TTexLabelEx* MakeGameLabel(int32_t sizeCode, const std::string& text, int32_t px, int32_t py,
                           uint8_t hAlign = 0);
uint32_t WhiteAlpha(float alpha);

class TScores : public TMaster {
  public:
    TScores();
    ~TScores() override;
    void StepMe() override;
    const char* ClassName() const override { return "TScores"; }
    // One chip removed by a line: 5 x (cascade + length - 2) points times the multiplier.
    void AddChipScore(int32_t x, int32_t y, int32_t cascade, int32_t lineLength);
    void AddScore(int32_t points);
    int32_t TimeBonus() const;
    void SetShown(int32_t value);

    struct TAward {
        int32_t X, Y, Cascade, LineLength, Points;
    };
    int32_t Score = 0;
    TTexLabelEx* ScoreLabel = nullptr;
    int32_t Shown = 0;
    float ShowTimer = 0;
    int32_t ChipScores = 0;     // chips scored
    std::vector<TAward> Awards; // the recent awards, oldest first

  private:
    void GainPoints(int32_t oldScore);
};
extern TScores* Scores;

class TTimer : public TMaster {
  public:
    explicit TTimer(int32_t seconds); // the level's time
    ~TTimer() override;
    void StepMe() override;
    const char* ClassName() const override { return "TTimer"; }
    void Init();                      // after the board: saved time of a level in progress, bar sizes
    void AddSeconds(int32_t seconds); // never above the level's full time
    void SetBarLength(int32_t n);
    void UpdateBar();
    void ShowBarPicture();
    int32_t ElapsedSeconds() const;

    float TimeLeft = 0;
    float TimeTotal = 0;
    float TimeShown = 0;
    TTexRect* Bar = nullptr;
    int32_t BarLength = 0, BarHeight = 16, BarMax = 256;
    int32_t BarRow = 0; // 1 while the low-time flash shows the warning row
    bool LowTime = false;
    bool Started = false;
    float BarSpeed = 0.005f;
    float Elapsed = 0;
    int32_t Seconds = 0;
};
extern TTimer* Timer;

class THeartMaster : public TMaster {
  public:
    THeartMaster();
    ~THeartMaster() override;
    void StepMe() override;
    const char* ClassName() const override { return "THeartMaster"; }
    void SetLives(int32_t n);
    void ShowLives();
    static int32_t ExtraLives(int32_t oldScore, int32_t newScore);

    int32_t Lives = 0;
    TTexRect* Heart[3] = {};
    TTexRect* HeartMany = nullptr;
    TTexLabelEx* ManyLabel = nullptr;
    float BlinkTime = 0;
    int32_t ExtraLifeSounds = 0; // "ExtraLife" played
};
extern THeartMaster* Hearts;

class TLabelPanel : public TMaster {
  public:
    TLabelPanel();
    ~TLabelPanel() override;
    void StepMe() override;
    const char* ClassName() const override { return "TLabelPanel"; }
    void Show(const std::string& textKey, int32_t style, float seconds);
    void ShowBlinking(const std::string& textKey, int32_t style, float seconds);
    void Hide();

    TTexRect* Back = nullptr;
    TTexLabelEx* Text = nullptr;
    float TimeLeft = 0;
    uint8_t Mode = 0; // 0 off, 1 steady, 2 blinking
    std::string Key;  // the message shown
    float Age = 0;
};
extern TLabelPanel* LabelPanel;

class TFlyScores : public TStater {
  public:
    TFlyScores(int32_t x, const std::string& text, int32_t y);
    const char* ClassName() const override { return "TFlyScores"; }
    TTexLabelEx* Label = nullptr;
    float BaseY = 0;

  private:
    void OnFly(TStateEvent e);
};

class TFlyCoin : public TStater {
  public:
    TFlyCoin(float x, float y, int32_t factor);
    const char* ClassName() const override { return "TFlyCoin"; }
    float X = 0, Y = 0;
    TTexRect* Icon = nullptr;

  private:
    void OnFly(TStateEvent e);
};

class TBonusXXMaster : public TMaster {
  public:
    TBonusXXMaster();
    ~TBonusXXMaster() override;
    void StepMe() override;
    const char* ClassName() const override { return "TBonusXXMaster"; }
    int32_t Multiplier() const { return Factor[0] * Factor[1]; }
    int32_t ChooseSlot() const; // 1 or 2
    void Activate(int32_t slot, int32_t code, int32_t seconds);
    void Refresh();
    void FlashCoins();
    void Freeze();

    float TimeLeft[2] = {0, 0};
    int32_t Factor[2] = {1, 1};
    TTexRect* Icon[2] = {};
    float X[2] = {}, Y[2] = {};
    TFallenBonusXX* Pending[2] = {};
    float LastFlash = -1000;
};
using TBonusXX = TBonusXXMaster;
extern TBonusXXMaster* BonusXX;

class TBonusPanel : public TMaster {
  public:
    TBonusPanel();
    ~TBonusPanel() override;
    void MouseProc() override;
    bool MouseOver() override;
    void StepMe() override;
    bool KeyDown(uint16_t key) override;
    const char* ClassName() const override { return "TBonusPanel"; }

    int32_t Count(int32_t i) const;
    void SetCount(int32_t i, int32_t n);
    void Refresh();
    void UpdateHighlight();
    bool CanChange(int32_t i, int32_t delta) const;
    void Change(int32_t i, int32_t delta);
    void Activate(int32_t i);
    void Sap();
    void MagicLamp();
    bool InSlot(int32_t i) const; // the mouse is over slot i's rectangle
    static bool BoardIdle();

    int32_t Hovered = 0; // slot under the pointer holding a bonus; 2 sap, 4 magic lamp
    struct TSlot {
        int32_t X = 0, Y = 0, W = 41, H = 41;
        TTexRect* Normal = nullptr;
        TTexRect* Lit = nullptr;
        TTexLabelEx* CountLabel = nullptr;
        float CentreX = 0, CentreY = 0;
    };
    TSlot Slots[5]; // [0] unused
  private:
    void SapPreview();
    void LampPreview();
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

// The interactive help's master as the board and the panels call it (nil: no help).
class THelpMasterLink {
  public:
    virtual ~THelpMasterLink() = default;
    virtual void ShowError(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0; // a refused swap
    virtual void LowTime() = 0;
    virtual void VisBonusArrived(int32_t code) = 0;
    virtual void BonusXXArrived(int32_t slot) = 0;
    virtual void SliceArrived() = 0;
};
extern THelpMasterLink* HelpMaster;

class THammer : public TMaster {
  public:
    THammer();
    ~THammer() override;
    void StepMe() override;
    const char* ClassName() const override { return "THammer"; }
    bool Accepts(const TCell& cell) const; // a chip, or an item other than the angry chip
    bool CanHit() const;                   // the cell under the pointer can be hit
    void Disarm();                         // used on the board
    void GiveBack();                       // its slot clicked: back at once
    void ReturnToSlot();                   // the level is left: unused, armed or flying back

    bool Armed = true;
    int32_t Phase = 0; // 0 armed, 1 flying back
    float Back = 0, BackSpeed = 0;
    TTexRect* Picture = nullptr;
    float StartX = 0, StartY = 0;

  private:
    void FollowPointer();
    void FlyBack();
};
extern THammer* Hammer;

// The game window as the board and the panels see it; the game window implements it and sets
// BoardGame.
class TBoardGameLink {
  public:
    virtual ~TBoardGameLink() = default;
    virtual bool LevelComplete() const = 0;
    virtual void LevelWon() = 0;
    virtual bool HasFocusNow() const = 0; // the window is the FocusObject
    virtual bool Paused() const = 0;      // its pause state
    virtual bool TransitionRunning() const = 0;
    virtual void LoseLife() {}         // the time ran out
    virtual void SetLevelComplete() {} // the last slice landed in the art panel
};
extern TBoardGameLink* BoardGame;

// Items that leave the board at the bottom; children of the board. Without a game window there is no
// panel to fly to and an item arrives at once.
class TFallenItem : public TStater {
  public:
    TFallenItem(int32_t col, int32_t value, uint8_t kind, int32_t row);
    ~TFallenItem() override;
    const char* ClassName() const override { return "TFallenItem"; }
    void Step() override;
    virtual void Arrive() {}
    virtual void BeginFlight() {}
    virtual void MoveAlong(float, float) {}

    int32_t Col, Row, Value;
    uint8_t Kind;
    bool Started = false;
    bool Booked = false; // already counted in the player record by a save of the level
    TSplinePath Path;
    TParticles* Trail = nullptr;
    float StartX = 0, StartY = 0;

  protected:
    void StartFlight(float period, const char* sample, const char* trail, float targetX, float targetY,
                     bool sixPoints);
    void OnFlight(TStateEvent e);
    void StopTrail();
};
class TFallenArt : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenArt"; }
    void BeginFlight() override;
    void MoveAlong(float x, float y) override;
    void Arrive() override; // the slice arrives in the art panel
};
class TFallenVisBonus : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    ~TFallenVisBonus() override;
    const char* ClassName() const override { return "TFallenVisBonus"; }
    void BeginFlight() override;
    void MoveAlong(float x, float y) override;
    void Arrive() override;
    TTexRect* Picture = nullptr;
};
class TFallenBonusMoney : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenBonusMoney"; }
    void BeginFlight() override;
    void Arrive() override;
    // A coin rolls: its angle (radians) follows its horizontal position.
    static float CoinAngle(float x) { return -12 * x; }

    struct TCoin {
        TTexRect* Icon = nullptr;
        float X = 0, Y = 0, VX = 0, VY = 0;
        bool Out = false;
    };
    TTexRect* Bag = nullptr;
    float Speed = 0;
    bool Reentered = false;
    std::vector<TCoin> Coins;

  private:
    void OnFall(TStateEvent e);
    void OnCoins(TStateEvent e);
};
class TFallenBonusXX : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    ~TFallenBonusXX() override;
    const char* ClassName() const override { return "TFallenBonusXX"; }
    void BeginFlight() override;
    void MoveAlong(float x, float y) override;
    void Arrive() override;
    int32_t Slot = 0;
    TTexRect* Picture = nullptr;
};
class TFallenBonusAngryChip : public TFallenItem {
  public:
    using TFallenItem::TFallenItem;
    const char* ClassName() const override { return "TFallenBonusAngryChip"; }
    void BeginFlight() override;
    void MoveAlong(float x, float y) override;
    void Arrive() override;
    TTexRect* Picture = nullptr;
};

// Plays a sample of the sound depot by name; the names played are kept for inspection.
void BoardPlaySample(const std::string& name);
extern std::vector<std::string> BoardSamplesPlayed;

} // namespace velmora
