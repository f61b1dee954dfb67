#include "play/demo.h"

#include <algorithm>

#include "app/input.h"
#include "board/autoplay.h"
#include "board/countries.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "play/w_game.h"
#include "ui/w_menumain.h"

namespace velmora {

namespace {

constexpr int32_t cFinishedCampaign = 77;

int32_t CampaignLevels() {
    int32_t total = 0;
    for (int32_t c = 1; c <= std::min(Countries.CountryCount, cMaxCountries); ++c)
        total += std::clamp(Countries.LevelCount[c], 0, cMaxLevelsPerCountry);
    return total;
}

} // namespace

int32_t ChooseDemoLevel() {
    const int32_t total = CampaignLevels();
    if (total < 1 || ScratchPlayerInUse() || !HasCurrentPlayer()) return 1;
    const int32_t level = CurrentPlayerRec().Level;
    const int32_t reached = level >= cFinishedCampaign ? total : std::clamp(level, 1, total);
    return 1 + RandomInt(reached);
}

TPlayerRec DemoRecord(int32_t level) {
    TPlayerRec rec{};
    rec.Name.Set("Demo");
    rec.Level = std::max(1, level);
    rec.Lives = 3;
    rec.LivesAtStart = 3;
    std::fill(std::begin(rec.HelpShown), std::end(rec.HelpShown), uint8_t{1});
    return rec;
}

void IdleDemoFrame(int32_t frame) {
    if (!Game || !Game->Demo || Game->Dead) return;
    TOwnInputScope own;
    AutoplayFrame(frame);
}

TBasic* CreateDemoWindow() {
    // Each demo plays differently, and a fixed-step run still repeats.
    SeedBot(static_cast<uint32_t>(FrameCount));
    return new TW_Game(ChooseDemoLevel());
}

} // namespace velmora
