#include "board/impatient.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/testhooks.h"
#include "board/collaborators.h"
#include "board/gamevis.h"
#include "board/net.h"

namespace velmora {

namespace {

// A click that lands on nothing but the window: it skips what plays before the level or after it.
constexpr int32_t cIdleClickX = 6, cIdleClickY = 6;
constexpr int32_t cClickGapMin = 4, cClickGapSpread = 12;
constexpr int32_t cHammerHeldMin = 20, cHammerHeldSpread = 60;

std::string Counts(const int32_t (&n)[4]) {
    return std::to_string(n[0]) + " " + std::to_string(n[1]) + " " + std::to_string(n[2]) + " " +
           std::to_string(n[3]);
}

POINT SlotCentre(int32_t slot) {
    if (!BonusPanel) return POINT{0, 0};
    const TBonusPanel::TSlot& s = BonusPanel->Slots[slot];
    return POINT{s.X + s.W / 2, s.Y + s.H / 2};
}

bool LevelPlaysNow() {
    return BoardGame && BoardGame->HasFocusNow() && !BoardGame->Paused() && !BoardGame->LevelComplete() &&
           !BoardGame->TransitionRunning();
}

} // namespace

void TImpatience::Seed(uint32_t seed) {
    RandomState = seed * 2246822519u + 0x85EBCA6Bu;
    if (RandomState == 0) RandomState = 1;
    ClickGap = 0;
    SeenBoard = nullptr;
    Flying.clear();
    Ledger = TBonusLedger{};
}

uint32_t TImpatience::Dice() {
    RandomState ^= RandomState << 13;
    RandomState ^= RandomState >> 17;
    RandomState ^= RandomState << 5;
    return RandomState;
}

TBotFrames TImpatience::Deed() {
    if (!Net || !BoardGame) return {};
    // The intro, the drop-in and the counting of the time bonus: the level window is busy and has no
    // focus, and a click goes through.
    if (Net->AState == asFrozen && !BoardGame->HasFocusNow() && !BoardGame->Paused()) return ClickThrough();
    if (!LevelPlaysNow()) return {};
    if (Chance(cImpatientPauseOneIn)) {
        ++Pauses;
        return {{{WM_KEYDOWN, VK_ESCAPE, 0}}, {{WM_KEYUP, VK_ESCAPE, 0}}};
    }
    if (Net->AState == asIdle && BonusPanel && BonusPanel->Count(bbHammer) > 0 && !Hammer &&
        Chance(cImpatientHammerOneIn)) {
        ++HammerTrips;
        return HammerOutAndBack(*Net);
    }
    return {};
}

TBotFrames TImpatience::ClickThrough() {
    if (ClickGap > 0) {
        --ClickGap;
        return {};
    }
    ClickGap = cClickGapMin + static_cast<int32_t>(Dice() % cClickGapSpread);
    return {{{WM_MOUSEMOVE, cIdleClickX, cIdleClickY}, {WM_LBUTTONDOWN, cIdleClickX, cIdleClickY}},
            {{WM_LBUTTONUP, cIdleClickX, cIdleClickY}}};
}

// The hammer is taken from its slot, held over the board for a while and put back by a click on
// the slot: no blow, and the count is what it was.
TBotFrames TImpatience::HammerOutAndBack(const TNet& net) {
    const POINT slot = SlotCentre(bbHammer);
    const POINT rest = CellPixel(net, (net.Info.Width + 1) / 2, (net.Info.Height + 1) / 2);
    TBotFrames frames;
    frames.push_back({{WM_MOUSEMOVE, slot.x, slot.y}, {WM_LBUTTONDOWN, slot.x, slot.y}});
    frames.push_back({{WM_LBUTTONUP, slot.x, slot.y}});
    frames.push_back({{WM_MOUSEMOVE, rest.x, rest.y}});
    const int32_t held = cHammerHeldMin + static_cast<int32_t>(Dice() % cHammerHeldSpread);
    for (int32_t i = 0; i < held; ++i)
        frames.emplace_back();
    frames.push_back({{WM_MOUSEMOVE, slot.x, slot.y}, {WM_LBUTTONDOWN, slot.x, slot.y}});
    frames.push_back({{WM_LBUTTONUP, slot.x, slot.y}});
    frames.push_back({{WM_MOUSEMOVE, rest.x, rest.y}});
    return frames;
}

void TImpatience::StartAttempt(int32_t frame) {
    const TPlayerRec& rec = CurrentPlayerRec();
    if (!rec.LevelInProgress) {
        // A fresh attempt (also after a restart or a life lost): the record's counts are its start.
        const bool again = Ledger.Known && Ledger.Level == rec.Level && !Outcome;
        if (again) ++Restarts;
        if (!again) Restarts = Pauses = HammerTrips = Resumes = 0;
        Ledger = TBonusLedger{};
        Ledger.Known = true;
        Ledger.Level = rec.Level;
        for (int32_t i = 0; i < 4; ++i)
            Ledger.Start[i] = rec.BonusCount[i];
        EarlierSeconds = 0;
        LogLedger(frame, "a fresh start");
    } else if (Ledger.Known && Ledger.Level == rec.Level) {
        ++Resumes;
        EarlierSeconds += BoardSeconds;
        LogLedger(frame, "resumed");
    } else {
        Ledger = TBonusLedger{};
        Ledger.Level = rec.Level;
        EarlierSeconds = 0;
    }
    BoardSeconds = 0;
    Outcome = false;
}

// A level is decided once its last slice is home or its clock has run out; the bot writes what it
// took and did, and ends the run when it was asked to stop after so many levels.
void TImpatience::WatchOutcome(int32_t frame) {
    if (!Timer || Outcome) return;
    BoardSeconds = Timer->Elapsed / 60.0f;
    // A level left with its last slice in flight is won at once when it resumes: that slice was
    // booked home, and no slice lands to say so.
    const bool won =
        BoardGame->LevelComplete() || (ArtMaster && ArtMaster->SliceCount > 0 && ArtMaster->SlicesLeft <= 0);
    if (!won && !(Timer->TimeTotal > 0 && Timer->TimeLeft <= 0)) return;
    Outcome = true;
    ++Decided;
    char text[256];
    std::snprintf(text, sizeof text,
                  "Autoplay: frame %d level %d %s, clock %.1f s of %d s, %d pause(s), %d hammer trip(s), "
                  "%d restart(s), %d resume(s)",
                  frame, Ledger.Level, won ? "won" : "lost", EarlierSeconds + BoardSeconds,
                  static_cast<int>(std::lround(Timer->TimeTotal / 60.0f)), Pauses, HammerTrips, Restarts,
                  Resumes);
    Log(text);
    if (QuitAfterLevels > 0 && Decided >= QuitAfterLevels) RequestRunEnd();
}

void TImpatience::Watch(int32_t frame) {
    if (Net != SeenBoard) {
        SeenBoard = Net;
        Flying.clear();
        if (!Net || !BoardGame) return;
        StartAttempt(frame);
    }
    if (!Net || !BoardGame) return;
    WatchOutcome(frame);
    std::set<const TBasic*> now;
    bool collected = false;
    for (const TBasic* c = Net->First; c; c = c->Next) {
        const auto* b = dynamic_cast<const TFallenVisBonus*>(c);
        if (!b || b->Value < 1 || b->Value > 4) continue;
        now.insert(c);
        if (Flying.count(c) == 0) {
            Ledger.Collected[b->Value - 1] += 1;
            collected = true;
        }
    }
    Flying.swap(now);
    if (collected) LogLedger(frame, "collected");
}

void TImpatience::NoteTurn(int32_t frame, const TNet& net, const TBotBonus& bonus) {
    // The hammer counts as used by its blow; one put back was not used.
    const bool used =
        (bonus.Code >= bbSap && bonus.Code <= bbLamp) || (bonus.Code == bbHammer && bonus.X > 0);
    if (used) {
        Ledger.Used[bonus.Code - 1] += 1;
        LogLedger(frame, "used");
    }
    std::string cells;
    for (int32_t x = 1; x <= net.Info.Width; ++x)
        for (int32_t y = 1; y <= net.Info.Height; ++y)
            if (net.Cells.At(x, y).Kind == ckSlice) {
                const POINT p = CellPixel(net, x, y);
                cells += " " + std::to_string(p.x) + "," + std::to_string(p.y);
            }
    Log("Autoplay: frame " + std::to_string(frame) + " turn on level " +
        std::to_string(CurrentPlayerRec().Level) + ", slices at" +
        (cells.empty() ? std::string(" none") : cells));
}

void TImpatience::LogLedger(int32_t frame, const char* why) const {
    if (!Ledger.Known) return;
    const int32_t expected[4] = {Ledger.Expected(0), Ledger.Expected(1), Ledger.Expected(2),
                                 Ledger.Expected(3)};
    Log("Autoplay: frame " + std::to_string(frame) + " level " + std::to_string(Ledger.Level) +
        " stored bonuses " + Counts(expected) + " (" + why + "; start " + Counts(Ledger.Start) +
        ", collected " + Counts(Ledger.Collected) + ", used " + Counts(Ledger.Used) + ")");
}

} // namespace velmora
