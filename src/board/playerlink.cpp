#include "board/playerlink.h"

#include <cstring>

namespace velmora {

TScratchRecord ScratchRecord;

TLevelCounters& BoardCounters() {
    return ScratchRecord.Counters;
}
int32_t BoardPlayerLevel() {
    return ScratchRecord.Level;
}
bool BoardLevelInProgress() {
    return ScratchRecord.LevelInProgress;
}
bool BoardDragNDrop() {
    return ScratchRecord.DragNDrop;
}

void BoardLoadSnapshot(TCellGrid& cells) {
    std::memcpy(&cells, &ScratchRecord.Snapshot, sizeof cells);
}

void BoardStartFreshLevel() {
    ScratchRecord.Counters = TLevelCounters{};
}

std::string BoardText(const std::string& key) {
    return key;
}

} // namespace velmora
