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
// The same for a hammer blow on (x, y) and for the sap (every chip right under a slice dissolves).
TSwapOutcome SimulateHammer(TCellGrid& cells, int32_t w, int32_t h, int32_t x, int32_t y);
TSwapOutcome SimulateSap(TCellGrid& cells, int32_t w, int32_t h);
// The outcome moves a slice: down, out, or by clearing what holds it.
bool BringsSliceDown(const TSwapOutcome& o);
// Every swap the board would accept (chips, slices and bonuses may move).
std::vector<TBotMove> LegalMoves(const TNet& net);
// Skill 0 plays any legal move, 1 the one removing most chips, 2 prefers slices coming down and
// cascades, 3 also looks one move further on the known cells after each move. False when there
// is no move.
bool ChooseBotMove(const TNet& net, int32_t skill, TBotMove& out);

// One pointer action: a window message with its back-buffer position.
struct TBotAction {
    UINT Message = 0;
    int32_t X = 0, Y = 0;
};

// A key message travels as a bot action whose X is the virtual-key code.
inline bool BotActionIsKey(const TBotAction& a) {
    return a.Message == WM_KEYDOWN || a.Message == WM_KEYUP;
}

// The pointer actions of a move, one entry per frame: click and click (or a drag when the player
// drags chips). Cell centres come from the board's own geometry.
std::vector<std::vector<TBotAction>> MoveActions(const TNet& net, const TBotMove& move, bool dragMode);
// The back-buffer pixel at the centre of a cell.
POINT CellPixel(const TNet& net, int32_t x, int32_t y);

// The stored bonuses, numbered as their panel slots.
enum TBotBonusCode : int32_t { bbHammer = 1, bbSap = 2, bbClock = 3, bbLamp = 4 };

// A stored bonus put to use; the hammer strikes cell (X, Y), or goes back to its slot when X is 0.
struct TBotBonus {
    int32_t Code = 0;
    int32_t X = 0, Y = 0;
    float Score = 0;
};

// What the bot sees beside the board: its stored bonuses, the level's clock and how many of its
// moves went by without a slice moving.
struct TBotSituation {
    int32_t Stored[4] = {0, 0, 0, 0}; // hammer, sap, clock, magic lamp
    bool HammerArmed = false;
    float TimeLeft = 0, TimeTotal = 0; // Delta units; no clock when the total is 0
    int32_t StillMoves = 0;
};

// Moves without a slice moving before the bot reaches for a bonus, and the share of the time
// below which it waits only one move; below the last share it winds the clock back.
constexpr int32_t cBotPatience = 4;
constexpr float cBotHurryShare = 0.35f;
constexpr float cBotClockShare = 0.25f;

// The level's bonus panel, timer and hammer as the bot reads them (absent ones read as none).
TBotSituation ReadBotSituation(int32_t stillMoves);
// Skills 2 and 3 use a stored bonus when the slices are stuck (no move brings one down and
// cBotPatience moves went by without one moving, fewer when time runs short, or no move at all):
// the hammer or the sap, whichever brings slices further down, else the magic lamp; the clock
// when time runs short. An armed hammer is always used first. False when no bonus is due.
bool ChooseBotBonus(const TNet& net, int32_t skill, const TBotSituation& situation, TBotBonus& out);
// A click on the bonus's panel slot; for the hammer then a click on its cell. The pointer ends on
// the board so that no slot preview stays lit.
std::vector<std::vector<TBotAction>> BonusActions(const TNet& net, const TBotBonus& bonus);

// The bot's turns on one board: a bonus when one is due, else a move. Remembers where the slices
// stood to know how long they have been stuck.
class TBotTurns {
  public:
    explicit TBotTurns(int32_t skill = cBotMaxSkill) : Skill(skill) {}
    // The pointer actions of the next turn on the idle board; empty when there is nothing to do.
    std::vector<std::vector<TBotAction>> Next(const TNet& net, bool dragMode);

    int32_t Skill;
    TBotBonus LastBonus; // the bonus of the last turn (code 0 when it was a move)
    int32_t StillMoves = 0;
    int32_t Moves = 0;
    int32_t BonusTurns = 0;

  private:
    void NoteSlices(const TNet& net);
    std::vector<int32_t> LastSlices; // value, column and row of each slice at the last turn
};

// The bot in the running game: once the level's board is idle and its window has the focus, it
// chooses a move and sends its pointer actions through the window procedure, one frame at a time.
void SetAutoplaySkill(int32_t skill);
// The impatient manner (board/impatient.h) on top of the skill; seeded by SeedBot.
void SetAutoplayImpatient(bool impatient);
// The run ends cleanly once the bot has seen that many levels decided (won, or lost by the clock).
void SetAutoplayQuitAfterLevels(int32_t levels);
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
    int32_t BonusesUsed[4] = {0, 0, 0, 0}; // hammer, sap, clock, magic lamp taken from the panel
    float SecondsUsed = 0;
    int32_t SecondsAllowed = 0;
    std::vector<POINT> SlicesLeftAt; // cells of the slices still on the board at the end
};

int32_t TotalBonusesUsed(const TLevelRun& run);

// Builds the real board of the level with the level window's timer and bonus panel (the player
// record is a scratch record holding no bonuses at the start) and lets the bot play it through the
// board's and the panel's mouse handling until every slice is down or the time is up. The timer
// starts at the first click and each slice that comes down gives five seconds back, never above
// the level's time; bonuses that leave the board reach the panel at once (there is no flight).
TLevelRun PlayLevelHeadless(int32_t level, uint32_t seed, int32_t skill);

} // namespace velmora
