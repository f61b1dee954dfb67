#include "board/collaborators.h"

#include <algorithm>

#include "app/sound.h"
#include "board/gamevis.h"

namespace velmora {

TScores* Scores = nullptr;
TTimer* Timer = nullptr;
TBonusXX* BonusXX = nullptr;
TBonusPanel* BonusPanel = nullptr;
THelp* Help = nullptr;
THammer* Hammer = nullptr;
TBoardGameLink* BoardGame = nullptr;
std::vector<std::string> BoardSamplesPlayed;

TScores::TScores() {
    Scores = this;
}
TScores::~TScores() {
    if (Scores == this) Scores = nullptr;
}

void TScores::AddChipScore(int32_t x, int32_t y, int32_t cascade, int32_t lineLength) {
    const int32_t multiplier = BonusXX ? BonusXX->Multiplier() : 1;
    const int32_t points = 5 * (cascade + lineLength - 2) * multiplier;
    Score += points;
    ChipScores += 1;
    if (Awards.size() >= 4096) Awards.erase(Awards.begin(), Awards.begin() + 2048);
    Awards.push_back({x, y, cascade, lineLength, points});
}

TTimer::TTimer(int32_t seconds) : TimeTotal(seconds * 60.0f), TimeLeft(seconds * 60.0f) {
    Timer = this;
}
TTimer::~TTimer() {
    if (Timer == this) Timer = nullptr;
}
void TTimer::AddSeconds(int32_t seconds) {
    TimeLeft = std::min(TimeTotal, TimeLeft + seconds * 60.0f);
}

TBonusXX::TBonusXX() {
    BonusXX = this;
}
TBonusXX::~TBonusXX() {
    if (BonusXX == this) BonusXX = nullptr;
}

TBonusPanel::TBonusPanel() {
    BonusPanel = this;
}
TBonusPanel::~TBonusPanel() {
    if (BonusPanel == this) BonusPanel = nullptr;
}

THelp::THelp() {
    Help = this;
}
THelp::~THelp() {
    if (Help == this) Help = nullptr;
}
void THelp::RefusedSwap(int32_t, int32_t, int32_t, int32_t) {
    ++RefusedSwaps;
}

THammer::THammer() {
    Hammer = this;
}
THammer::~THammer() {
    if (Hammer == this) Hammer = nullptr;
}
bool THammer::Accepts(const TCell& cell) const {
    return cell.Kind == ckChip || (cell.Kind == ckBonus && cell.Value != 8);
}
void THammer::Disarm() {
    Armed = false;
    Dead = true;
}

// Until the flights to the panels exist, an item arrives at once.
void TFallenItem::StepMe() {
    Dead = true;
}

void TFallenArt::StepMe() {
    if (ArtMaster)
        if (TSlice* s = ArtMaster->Slice(Value)) s->Place();
    Dead = true;
}

void BoardPlaySample(const std::string& name) {
    // Only the recent ones are kept: long runs must not grow the list.
    if (BoardSamplesPlayed.size() >= 256)
        BoardSamplesPlayed.erase(BoardSamplesPlayed.begin(), BoardSamplesPlayed.begin() + 128);
    BoardSamplesPlayed.push_back(name);
    if (!SoundDepot) return;
    for (const TSoundTableRow& row : SoundTable)
        if (name == row.Name) {
            SoundDepot->PlaySample(row.Slot);
            return;
        }
}

} // namespace velmora
