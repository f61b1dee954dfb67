// What the board reads and writes in the current player's record: the level number, the six level
// counters, the saved cell grid and the drag-and-drop choice. Without a selected player the record
// is the player data's spare record, so the board also runs headless.
#pragma once

#include <cstdint>
#include <string>

#include "board/cells.h"

namespace velmora {

// The six level counters, in the record's order.
struct TLevelCounters {
    int32_t ChipsRemoved;
    int32_t Falls;
    int32_t BestCascade;
    int32_t Cascade;
    int32_t SlicesDropped;
    int32_t BonusesDropped;
};
static_assert(sizeof(TLevelCounters) == 24);

TLevelCounters& BoardCounters();
int32_t BoardPlayerLevel();
bool BoardLevelInProgress();
// The saved grid of a level left in progress, and the save of the board into the record.
void BoardLoadSnapshot(TCellGrid& cells);
void BoardStoreSnapshot(const TCellGrid& cells);
bool BoardDragNDrop();
// A fresh level: the level counters go to 0 and lives, score and bonus counts are noted as the
// level's starting point.
void BoardStartFreshLevel();
// Text of a key; the key itself when there is no text for it.
std::string BoardText(const std::string& key);

} // namespace velmora
