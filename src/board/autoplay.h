// The player bot: chooses a move on the idle board and turns it into the pointer actions a person
// would make. It never touches cells itself; the board sees only mouse input.
#pragma once

#include <cstdint>
#include <vector>

#include "board/cells.h"
#include "platform/win32.h"

namespace velmora {

class TNet;

constexpr int32_t cBotMaxSkill = 3;

struct TBotMove {
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    float Score = 0;
};

// What one swap does to the known cells (new chips from above are unknown and match nothing).
struct TSwapOutcome {
    int32_t ChipsRemoved = 0;
    int32_t Cascades = 0;
    int32_t LocksBroken = 0;
    int32_t SlicesDropped = 0;
    int32_t BonusesDropped = 0;
    int32_t SliceDescent = 0; // rows the slices moved down
    int32_t UnderSlice = 0;   // chips removed or unchained below a slice of their column
};

// Plays the swap on a copy of the grid through the cascade of known cells.
TSwapOutcome SimulateSwap(TCellGrid& cells, int32_t w, int32_t h, int32_t x1, int32_t y1, int32_t x2,
                          int32_t y2);
// Every swap the board would accept (chips, slices and bonuses may move).
std::vector<TBotMove> LegalMoves(const TNet& net);
// Skill 0 plays any legal move, 1 the one removing most chips, 2 prefers slices coming down and
// cascades, 3 also looks one move further on the known cells. False when there is no move.
bool ChooseBotMove(const TNet& net, int32_t skill, TBotMove& out);

// One pointer action: a window message with its back-buffer position.
struct TBotAction {
    UINT Message = 0;
    int32_t X = 0, Y = 0;
};

// The pointer actions of a move, one entry per frame: click and click (or a drag when the player
// drags chips). Cell centres come from the board's own geometry.
std::vector<std::vector<TBotAction>> MoveActions(const TNet& net, const TBotMove& move, bool dragMode);
// The back-buffer pixel at the centre of a cell.
POINT CellPixel(const TNet& net, int32_t x, int32_t y);

// The bot in the running game: once the level's board is idle and its window has the focus, it
// chooses a move and sends its pointer actions through the window procedure, one frame at a time.
void SetAutoplaySkill(int32_t skill);
// The bot's own random source (it never draws from the game's).
void SeedBot(uint32_t seed);
void AutoplayFrame(int32_t frame);

// One level played headless by the bot with a fixed step and seed.
struct TLevelRun {
    int32_t Level = 0;
    bool Built = false; // the level file was read
    bool Won = false;
    int32_t Slices = 0;        // on the board at the start
    int32_t SlicesDropped = 0; // brought down
    int32_t Moves = 0;
    int32_t Cascades = 0; // falls after the first of each move
    int32_t BestCascade = 0;
    int32_t BonusesDropped = 0;
    float SecondsUsed = 0;
    int32_t SecondsAllowed = 0;
};

// Builds the real board of the level (the player record is a scratch record) and lets the bot
// play it through the board's mouse handling until every slice is down or the time is up. The
// timer rules of the level window are followed: it starts at the first click and each slice that
// comes down gives five seconds back, never above the level's time.
TLevelRun PlayLevelHeadless(int32_t level, uint32_t seed, int32_t skill);

} // namespace velmora
