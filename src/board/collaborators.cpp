#include "board/collaborators.h"

#include <algorithm>
#include <cmath>

#include "app/options.h"
#include "app/sound.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"

namespace velmora {

TScores* Scores = nullptr;
TTimer* Timer = nullptr;
THeartMaster* Hearts = nullptr;
TLabelPanel* LabelPanel = nullptr;
TBonusXXMaster* BonusXX = nullptr;
TBonusPanel* BonusPanel = nullptr;
THelp* Help = nullptr;
THelpMasterLink* HelpMaster = nullptr;
THammer* Hammer = nullptr;
TBoardGameLink* BoardGame = nullptr;
std::vector<std::string> BoardSamplesPlayed;

// Small texts of the game screen use the game font; the big centre texts the score font when the
// game font is missing.
TIndexedTextureFont* GameTextFont(int32_t sizeCode) {
    if (sizeCode >= 22) return GameFont ? GameFont : GameScore;
    return GameFont ? GameFont : GameScore_Small;
}

TTexLabelEx* MakeGameLabel(int32_t sizeCode, const std::string& text, int32_t px, int32_t py,
                           uint8_t hAlign) {
    TTexLabelExParams p;
    p.Font = GameTextFont(sizeCode);
    p.Text = text;
    p.HAlign = hAlign;
    auto* label = new TTexLabelEx(p);
    label->X = TableX(px) - HalfPixel;
    label->Y = TableY(py) - HalfPixel;
    label->Layout();
    return label;
}

uint32_t WhiteAlpha(float alpha) {
    const auto a = static_cast<uint32_t>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
    return (a << 24) | 0x00FFFFFFu;
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
