// The player bot's impatient manner (--impatient): besides playing to win it does to a level what
// a hurried, distracted person does, through the same pointer and key messages: clicks through the
// intro, the drop-in and the time bonus, presses Escape at random moments and takes the hammer out
// and puts it back. It keeps its own ledger of the stored bonuses the player should hold and writes
// it, and where the slices stand at each of its turns, to the log, for the tests to hold the game to.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "board/autoplay.h"

namespace velmora {

class TBasic;

using TBotFrames = std::vector<std::vector<TBotAction>>;

// Stored bonuses (hammer, sap, clock, lamp) over one attempt at a level: the record's counts when it
// began, the ones that left the board since, the ones the bot put to use.
struct TBonusLedger {
    bool Known = false; // false: the attempt began where the bot did not see it
    int32_t Level = 0;
    int32_t Start[4] = {0, 0, 0, 0};
    int32_t Collected[4] = {0, 0, 0, 0};
    int32_t Used[4] = {0, 0, 0, 0};

    int32_t Expected(int32_t i) const { return Start[i] + Collected[i] - Used[i]; }
};

// Frames between random Escapes while the level plays, and between hammer trips (on average).
constexpr uint32_t cImpatientPauseOneIn = 400;
constexpr uint32_t cImpatientHammerOneIn = 600;

class TImpatience {
  public:
    void Seed(uint32_t seed);
    // A deed due now, before the bot's next turn; empty when none.
    TBotFrames Deed();
    // Every frame: a new board starts or resumes an attempt, a bonus leaving the board is collected.
    void Watch(int32_t frame);
    // A turn of the bot begins on the idle board: a bonus it uses goes into the ledger, the cells of
    // the slices into the log.
    void NoteTurn(int32_t frame, const TNet& net, const TBotBonus& bonus);

    TBonusLedger Ledger;
    // With a limit, the run ends once that many levels were decided: won, or lost by the clock (a
    // restart the bot asked for decides nothing). 0: no limit.
    int32_t QuitAfterLevels = 0;
    int32_t Decided = 0;

  private:
    uint32_t Dice();
    bool Chance(uint32_t oneIn) { return Dice() % oneIn == 0; }
    TBotFrames ClickThrough();
    TBotFrames HammerOutAndBack(const TNet& net);
    void LogLedger(int32_t frame, const char* why) const;
    void StartAttempt(int32_t frame);
    void WatchOutcome(int32_t frame);

    uint32_t RandomState = 1;
    int32_t ClickGap = 0;
    const TNet* SeenBoard = nullptr;
    std::set<const TBasic*> Flying; // bonuses on their way to the panel, seen last frame
    // The level on the board now: its clock used by earlier boards of the attempt (a Save & Exit
    // starts the clock's count anew), and what the bot did to it.
    bool Outcome = false; // this board's outcome has been written
    float EarlierSeconds = 0, BoardSeconds = 0;
    int32_t Pauses = 0, HammerTrips = 0, Restarts = 0, Resumes = 0;
};

} // namespace velmora
