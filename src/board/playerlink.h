// What the board reads and writes in the current player's record: the level number, the six level
// counters, the saved cell grid and the drag-and-drop choice. Without a current player the board
// works on a scratch record, so it can run headless.
#pragma once

#include <cstdint>
#include <string>

#include "board/cells.h"

namespace velmora {

struct TLevelCounters {
    int32_t ChipsRemoved = 0;
    int32_t Falls = 0;
    int32_t BestCascade = 0;
    int32_t Cascade = 0;
    int32_t SlicesDropped = 0;
    int32_t BonusesDropped = 0;
};
static_assert(sizeof(TLevelCounters) == 24);

TLevelCounters& BoardCounters();
int32_t BoardPlayerLevel();
bool BoardLevelInProgress();
// The saved grid of a level left in progress (32 x 32 cells in the stored layout).
void BoardLoadSnapshot(TCellGrid& cells);
bool BoardDragNDrop();
// A fresh level: the level counters go to 0 and lives, score and bonus counts are noted as the
// level's starting point.
void BoardStartFreshLevel();
// Text of a key (the caller's text when the key is missing).
std::string BoardText(const std::string& key);

// The scratch record used when no player is selected (tests and tools set it directly).
struct TScratchRecord {
    int32_t Level = 0;
    bool LevelInProgress = false;
    bool DragNDrop = false;
    TLevelCounters Counters;
    TCellGrid Snapshot;
};
extern TScratchRecord ScratchRecord;

} // namespace velmora
