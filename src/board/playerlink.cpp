#include "board/playerlink.h"

#include <cstddef>
#include <cstring>

#include "app/gamedat.h"
#include "app/language.h"

namespace velmora {

static_assert(sizeof(TCellGrid) == cSnapshotBytes);
static_assert(offsetof(TPlayerRec, Falls) - offsetof(TPlayerRec, ChipsRemoved) ==
              offsetof(TLevelCounters, Falls));
static_assert(offsetof(TPlayerRec, BonusesDropped) - offsetof(TPlayerRec, ChipsRemoved) ==
              offsetof(TLevelCounters, BonusesDropped));

TLevelCounters& BoardCounters() {
    // The six counters lie together in the record in this order (asserted above).
    return *reinterpret_cast<TLevelCounters*>(&CurrentPlayerRec().ChipsRemoved);
}

int32_t BoardPlayerLevel() {
    return CurrentPlayerRec().Level;
}
bool BoardLevelInProgress() {
    return CurrentPlayerRec().LevelInProgress != 0;
}
bool BoardDragNDrop() {
    return GameDat.DragNDrop != 0;
}

void BoardLoadSnapshot(TCellGrid& cells) {
    std::memcpy(&cells, CurrentPlayerRec().LevelSnapshot, sizeof cells);
}

void BoardStoreSnapshot(const TCellGrid& cells) {
    std::memcpy(CurrentPlayerRec().LevelSnapshot, &cells, sizeof cells);
}

void BoardStartFreshLevel() {
    TPlayerRec& rec = CurrentPlayerRec();
    BoardCounters() = TLevelCounters{};
    rec.LivesAtStart = rec.Lives;
    rec.ScoreAtStart = rec.Score;
    std::memcpy(rec.BonusCountAtStart, rec.BonusCount, sizeof rec.BonusCount);
}

std::string BoardText(const std::string& key) {
    std::string text = key;
    if (Lang) Lang->GetText(key, text);
    return text;
}

} // namespace velmora
