// The game board: the cell grid of one level, its timed states, the player's moves and the line,
// cascade and refill rules. Runs without a display; the visuals and level-play objects it calls
// are reached through their globals and may be absent.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "board/cells.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "engine/basic.h"

namespace velmora {

class TFly;

enum TBoardState : uint8_t {
    asIdle = 0,
    asSwap = 1,
    asBadSwap = 2,
    asFall = 3,
    asSap = 4,
    asPaint = 5,
    asSettle = 6,
    asFrozen = 7
};

constexpr float cHintDelay = 600;   // first hint after the board settles
constexpr float cHintRepeat = 840;  // later hints
constexpr int cBuildAttempts = 200; // level reads before a board without two moves is accepted

class TNet : public TMaster {
  public:
    // Builds the board of the current player's level into info (the game window's level record),
    // or restores the level left in progress.
    explicit TNet(TLevelInfo& info);
    ~TNet() override;
    void StepMe() override;
    const char* ClassName() const override { return "TNet"; }

    uint8_t AState = asIdle;
    float AStateTime = 1;
    float AStateSpeed = 0;
    TCellGrid Cells;
    bool Selected = false;
    int32_t SelX = 0, SelY = 0;
    bool Hovered = false;
    int32_t HoverX = 0, HoverY = 0;
    int32_t MoveX1 = 0, MoveY1 = 0, MoveX2 = 0, MoveY2 = 0;
    int32_t FlySerial = 0;
    float GlareTimer = 0;
    float HintTimer = cHintDelay;

    TLevelInfo& Info;
    bool Resumed = false; // the level was restored from the player record

    // Cell primitives (1-based; no range checks unless said).
    void ClearCell(int32_t x, int32_t y);
    void SetCell(int32_t x, int32_t y, int32_t value, uint8_t kind);
    void SetChip(int32_t x, int32_t y, int32_t colour) { SetCell(x, y, colour, ckChip); }
    bool CellExists(int32_t x, int32_t y) const {
        return GridCellExists(Cells, Info.Width, Info.Height, x, y);
    }
    bool SameChips(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
    static bool IsNeighbour(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void CopyCells(TCellGrid& buffer) const { buffer = Cells; }
    int32_t RandomColor(int32_t exclude) const { return RandomLevelColor(Info, exclude); }
    bool CanMove(int32_t x, int32_t y, bool allowItems) const;
    // The grid as the player record keeps it: no animation references.
    void SaveCells(TCellGrid& buffer) const;
    // Copies the board into the player record's snapshot.
    void SaveSnapshot() const;

    // Board life.
    void ClearBoard();
    bool BuildBoard();
    void StartLevel();
    void StartDropIn();
    void GlareAll();
    void StopAnimations();
    void UpdateCellVisuals();

    // Animation references.
    TFly* FlyAt(int32_t x, int32_t y) const;
    void SetFly(int32_t x, int32_t y, TFly* fly);
    void EndFly(int32_t x, int32_t y); // marked Dead, reference cleared
    int32_t RegisterFly(TFly* fly);    // next serial
    void ForgetFly(const TFly* fly);
    bool FlyIsLive(uint32_t handle) const;

    TWorldPoint CellCentre(int32_t x, int32_t y) const;
    int32_t PixelLeft() const { return 548 - 20 * Info.Width; }
    int32_t PixelTop() const { return 253 - 20 * Info.Height; }

    // States and moves.
    void SetAState(int32_t state);
    void HandleMouse();
    void Hover(int32_t x, int32_t y);
    void Unhover();
    void Select(int32_t x, int32_t y);
    void Deselect();
    void MakeMove(int32_t x2, int32_t y2);
    void BlowRow(int32_t y);

    // Rules.
    bool CheckLine(const TCellGrid& cells, int32_t x, int32_t y, int32_t& count) const {
        return GridCheckLine(cells, Info.Width, Info.Height, x, y, count);
    }
    void RemoveLines(int32_t x, int32_t y);
    void BreakCell(int32_t x, int32_t y);
    void ResolveMatches();
    void Collapse();
    void DropOutItems();
    int32_t CountMoves(bool allowItems, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const;
    int32_t CountMoves(bool allowItems) const;

  private:
    void StepIdle();
    void StepHints();
    void StepGlares();
    void BreakThreeRandomChips();
    void MendRestoredCells();
    void EndOfState();
    void EndSwap();
    void EndPaint();
    bool SwapMakesLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
    void AcceptSwap(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void RefuseSwap(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void HammerClick(int32_t x, int32_t y);
    void DragMouse(int32_t x, int32_t y);
    void ClickMouse(int32_t x, int32_t y);
    void ReleaseDragChip();
    void CollapseColumn(int32_t x);
    void MoveCellDown(int32_t x, int32_t fromY, int32_t toY);
    void DropOutCell(int32_t x, int32_t y);
    void DrawCell(const TCell& cell, TWorldPoint pos, float opacity);
    void DrawMovingCell(int32_t x, int32_t y);
    bool PointerCell(int32_t& x, int32_t& y) const;

    std::unordered_map<uint32_t, TFly*> Flies;
};

extern TNet* Net;
class TGamePartMaster;
// The board's particle master, a child of the board made by StartLevel.
extern TGamePartMaster* NetParticles;

} // namespace velmora
