// The bot's move choice works on copies of the grid; the board itself only ever sees the pointer.
#include "board/autoplay.h"
#include "board/autoplaykeys.h"

#include <algorithm>

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "app/input.h"
#include "board/collaborators.h"
#include "board/gamevis.h"
#include "board/playerlink.h"
#include "engine/basic.h"
#include "board/net.h"
#include "engine/random.h"

namespace velmora {

namespace {

// The bot draws from its own source: the game's random source must see the same calls whether a
// person, a replayed script or the bot gives the input.
uint32_t BotRandomState = 0x9E3779B9u;

uint32_t BotRandom() {
    BotRandomState ^= BotRandomState << 13;
    BotRandomState ^= BotRandomState >> 17;
    BotRandomState ^= BotRandomState << 5;
    return BotRandomState;
}

float BotNoise() {
    return static_cast<float>(BotRandom() >> 8) / 16777216.0f;
}

bool Inside(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y) {
    return GridCellExists(g, w, h, x, y);
}

bool Movable(const TCell& c) {
    return (c.Kind == ckChip && c.Lock == 0) || c.Kind == ckSlice || c.Kind == ckBonus;
}

// Cells in a run of three or more, as the board's own line test sees them.
int32_t MarkLines(const TCellGrid& g, int32_t w, int32_t h, bool (&marked)[cMaxNetSize][cMaxNetSize]) {
    int32_t n = 0;
    for (int32_t x = 1; x <= w; ++x)
        for (int32_t y = 1; y <= h; ++y) {
            marked[x - 1][y - 1] = false;
            int32_t count = 0;
            if (GridCheckLine(g, w, h, x, y, count)) {
                marked[x - 1][y - 1] = true;
                ++n;
            }
        }
    return n;
}

// Contents fall over holes and blank cells; what comes in from above is unknown (empty here).
void CollapseKnown(TCellGrid& g, int32_t w, int32_t h, TSwapOutcome& out) {
    for (int32_t x = 1; x <= w; ++x) {
        std::vector<int32_t> places;
        for (int32_t y = h; y >= 1; --y) {
            const uint8_t k = g.At(x, y).Kind;
            if (k != ckNone && k != ckBlank) places.push_back(y);
        }
        size_t write = 0;
        for (size_t read = 0; read < places.size(); ++read) {
            TCell c = g.At(x, places[read]);
            if (c.Kind == ckEmpty) continue;
            if (c.Kind == ckSlice && places[write] != places[read])
                out.SliceDescent += places[write] - places[read];
            g.At(x, places[read]).Kind = ckEmpty;
            g.At(x, places[write]) = c;
            ++write;
        }
    }
}

// Slices and bonuses on the bottom of their column leave the board.
bool DropItems(TCellGrid& g, int32_t w, int32_t h, TSwapOutcome& out) {
    bool any = false;
    for (int32_t x = 1; x <= w; ++x)
        for (int32_t y = h; y >= 1; --y) {
            TCell& c = g.At(x, y);
            if (c.Kind != ckSlice && c.Kind != ckBonus) continue;
            if (!(y == h || g.At(x, y + 1).Kind == ckNone)) continue;
            (c.Kind == ckSlice ? out.SlicesDropped : out.BonusesDropped) += 1;
            c.Kind = ckEmpty;
            any = true;
        }
    return any;
}

float MoveValue(const TSwapOutcome& o, int32_t skill) {
    if (skill <= 1) return static_cast<float>(o.ChipsRemoved);
    return 1000.0f * o.SlicesDropped + 40.0f * o.SliceDescent + 25.0f * o.UnderSlice +
           60.0f * o.BonusesDropped + 4.0f * o.LocksBroken + 3.0f * o.Cascades + o.ChipsRemoved;
}

int32_t CountSlices(const TNet& net) {
    int32_t n = 0;
    for (int32_t x = 1; x <= net.Info.Width; ++x)
        for (int32_t y = 1; y <= net.Info.Height; ++y)
            if (net.Cells.At(x, y).Kind == ckSlice) ++n;
    return n;
}

float BestFollowUp(const TCellGrid& g, int32_t w, int32_t h) {
    float best = 0;
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            const int32_t n[2][2] = {{x + 1, y}, {x, y + 1}};
            for (const auto& b : n) {
                if (!Inside(g, w, h, x, y) || !Inside(g, w, h, b[0], b[1])) continue;
                if (!Movable(g.At(x, y)) || !Movable(g.At(b[0], b[1]))) continue;
                TCellGrid copy = g;
                best = std::max(best, MoveValue(SimulateSwap(copy, w, h, x, y, b[0], b[1]), 2));
            }
        }
    return best;
}

} // namespace

namespace {

// Falls and items leaving the board until nothing moves.
void SettleKnown(TCellGrid& g, int32_t w, int32_t h, TSwapOutcome& out) {
    do
        CollapseKnown(g, w, h, out);
    while (DropItems(g, w, h, out));
}

void CascadeKnown(TCellGrid& g, int32_t w, int32_t h, TSwapOutcome& out) {
    bool marked[cMaxNetSize][cMaxNetSize];
    while (MarkLines(g, w, h, marked) > 0) {
        ++out.Cascades;
        for (int32_t x = 1; x <= w; ++x) {
            bool sliceAbove = false;
            for (int32_t y = 1; y <= h; ++y) {
                if (g.At(x, y).Kind == ckSlice) sliceAbove = true;
                if (!marked[x - 1][y - 1]) continue;
                if (sliceAbove) ++out.UnderSlice;
                TCell& c = g.At(x, y);
                ++out.ChipsRemoved;
                if (c.Lock > 0) {
                    --c.Lock;
                    ++out.LocksBroken;
                } else {
                    c.Kind = ckEmpty;
                }
            }
        }
        SettleKnown(g, w, h, out);
    }
}

// A cell cleared outright (hammer, sap), chains and all.
void ClearKnown(TCellGrid& g, int32_t x, int32_t y, TSwapOutcome& out) {
    TCell& c = g.At(x, y);
    for (int32_t above = y - 1; above >= 1; --above)
        if (g.At(x, above).Kind == ckSlice) {
            ++out.UnderSlice;
            break;
        }
    if (c.Lock > 0) ++out.LocksBroken;
    ++out.ChipsRemoved;
    c.Kind = ckEmpty;
    c.Lock = 0;
}

} // namespace

TSwapOutcome SimulateSwap(TCellGrid& g, int32_t w, int32_t h, int32_t x1, int32_t y1, int32_t x2,
                          int32_t y2) {
    TSwapOutcome out;
    std::swap(g.At(x1, y1), g.At(x2, y2));
    CascadeKnown(g, w, h, out);
    return out;
}

TSwapOutcome SimulateHammer(TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y) {
    TSwapOutcome out;
    ClearKnown(g, x, y, out);
    SettleKnown(g, w, h, out);
    CascadeKnown(g, w, h, out);
    return out;
}

TSwapOutcome SimulateSap(TCellGrid& g, int32_t w, int32_t h) {
    TSwapOutcome out;
    for (int32_t y = 1; y <= h - 1; ++y)
        for (int32_t x = 1; x <= w; ++x)
            if (Inside(g, w, h, x, y) && Inside(g, w, h, x, y + 1) && g.At(x, y).Kind == ckSlice &&
                g.At(x, y + 1).Kind == ckChip)
                ClearKnown(g, x, y + 1, out);
    SettleKnown(g, w, h, out);
    CascadeKnown(g, w, h, out);
    return out;
}

bool BringsSliceDown(const TSwapOutcome& o) {
    return o.SlicesDropped > 0 || o.SliceDescent > 0;
}

std::vector<TBotMove> LegalMoves(const TNet& net) {
    std::vector<TBotMove> moves;
    const int32_t w = net.Info.Width, h = net.Info.Height;
    TCellGrid copy = net.Cells;
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            const int32_t n[2][2] = {{x + 1, y}, {x, y + 1}};
            for (const auto& b : n) {
                if (!net.CellExists(x, y) || !net.CellExists(b[0], b[1])) continue;
                if (!net.CanMove(x, y, true) || !net.CanMove(b[0], b[1], true)) continue;
                if (net.SameChips(x, y, b[0], b[1])) continue;
                std::swap(copy.At(x, y), copy.At(b[0], b[1]));
                int32_t count = 0;
                if (GridCheckLine(copy, w, h, x, y, count) || GridCheckLine(copy, w, h, b[0], b[1], count))
                    moves.push_back({x, y, b[0], b[1], 0});
                std::swap(copy.At(x, y), copy.At(b[0], b[1]));
            }
        }
    return moves;
}

bool ChooseBotMove(const TNet& net, int32_t skill, TBotMove& out) {
    std::vector<TBotMove> moves = LegalMoves(net);
    if (moves.empty()) return false;
    if (skill <= 0) {
        out = moves[BotRandom() % moves.size()];
        return true;
    }
    const int32_t w = net.Info.Width, h = net.Info.Height;
    std::vector<TCellGrid> after(moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
        after[i] = net.Cells;
        const TSwapOutcome o =
            SimulateSwap(after[i], w, h, moves[i].X1, moves[i].Y1, moves[i].X2, moves[i].Y2);
        // A little noise keeps seeds apart without hiding real differences.
        moves[i].Score = MoveValue(o, skill) + BotNoise() * 0.5f;
    }
    // Every move, not only the best few: a move that only sets up the line under a stuck slice
    // scores little by itself (seen on the late Velmora levels).
    if (skill >= 3)
        for (size_t i = 0; i < moves.size(); ++i)
            moves[i].Score += 0.5f * BestFollowUp(after[i], w, h);
    out = *std::max_element(moves.begin(), moves.end(),
                            [](const TBotMove& a, const TBotMove& b) { return a.Score < b.Score; });
    return true;
}

POINT CellPixel(const TNet& net, int32_t x, int32_t y) {
    if (VisNet) {
        const TPixelPoint p = VisNet->Pixel(x, y);
        return POINT{p.X + cCellPixels / 2, p.Y + cCellPixels / 2};
    }
    return POINT{net.PixelLeft() + cCellPixels * (x - 1) + cCellPixels / 2,
                 net.PixelTop() + cCellPixels * (y - 1) + cCellPixels / 2};
}

std::vector<std::vector<TBotAction>> MoveActions(const TNet& net, const TBotMove& move, bool dragMode) {
    const POINT a = CellPixel(net, move.X1, move.Y1);
    const POINT b = CellPixel(net, move.X2, move.Y2);
    if (dragMode)
        return {{{WM_MOUSEMOVE, a.x, a.y}, {WM_LBUTTONDOWN, a.x, a.y}},
                {{WM_MOUSEMOVE, b.x, b.y}},
                {{WM_MOUSEMOVE, b.x, b.y}, {WM_LBUTTONUP, b.x, b.y}}};
    return {{{WM_MOUSEMOVE, a.x, a.y}, {WM_LBUTTONDOWN, a.x, a.y}},
            {{WM_LBUTTONUP, a.x, a.y}},
            {{WM_MOUSEMOVE, b.x, b.y}, {WM_LBUTTONDOWN, b.x, b.y}},
            {{WM_LBUTTONUP, b.x, b.y}}};
}

// ---- stored bonuses ----

TBotSituation ReadBotSituation(int32_t stillMoves) {
    TBotSituation s;
    s.StillMoves = stillMoves;
    if (BonusPanel)
        for (int32_t i = 0; i < 4; ++i)
            s.Stored[i] = BonusPanel->Count(i + 1);
    s.HammerArmed = Hammer && Hammer->Armed;
    if (Timer) {
        s.TimeLeft = Timer->TimeLeft;
        s.TimeTotal = Timer->TimeTotal;
    }
    return s;
}

namespace {

bool HammerTarget(const TNet& net, int32_t x, int32_t y) {
    const TCell& c = net.Cells.At(x, y);
    return net.CellExists(x, y) && c.Back != 0 && c.Kind == ckChip;
}

// The chip whose blow does most for the slices; any chip will do when the board has no move.
bool BestHammerBlow(const TNet& net, bool anyChip, TBotBonus& out) {
    const int32_t w = net.Info.Width, h = net.Info.Height;
    bool found = false;
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            if (!HammerTarget(net, x, y)) continue;
            TCellGrid g = net.Cells;
            const TSwapOutcome o = SimulateHammer(g, w, h, x, y);
            if (!anyChip && !BringsSliceDown(o)) continue;
            const float score = MoveValue(o, 2);
            if (!found || score > out.Score) {
                out = {bbHammer, x, y, score};
                found = true;
            }
        }
    return found;
}

bool SapHelps(const TNet& net, TBotBonus& out) {
    TCellGrid g = net.Cells;
    const TSwapOutcome o = SimulateSap(g, net.Info.Width, net.Info.Height);
    if (!BringsSliceDown(o)) return false;
    out = {bbSap, 0, 0, MoveValue(o, 2)};
    return true;
}

bool ChipNextToSlice(const TNet& net) {
    for (int32_t y = 1; y <= net.Info.Height; ++y)
        for (int32_t x = 1; x <= net.Info.Width; ++x) {
            if (!net.CellExists(x, y) || net.Cells.At(x, y).Kind != ckSlice) continue;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    if (net.CellExists(x + dx, y + dy) && net.Cells.At(x + dx, y + dy).Kind == ckChip)
                        return true;
        }
    return false;
}

bool AnyMoveBringsSliceDown(const TNet& net, const std::vector<TBotMove>& moves) {
    for (const TBotMove& m : moves) {
        TCellGrid g = net.Cells;
        if (BringsSliceDown(SimulateSwap(g, net.Info.Width, net.Info.Height, m.X1, m.Y1, m.X2, m.Y2)))
            return true;
    }
    return false;
}

bool SlicesStuck(const TNet& net, const TBotSituation& s, bool& noMoves) {
    const std::vector<TBotMove> moves = LegalMoves(net);
    noMoves = moves.empty();
    if (noMoves) return true;
    const float share = s.TimeTotal > 0 ? s.TimeLeft / s.TimeTotal : 1.0f;
    const int32_t patience = share < cBotHurryShare ? 1 : cBotPatience;
    return s.StillMoves >= patience && !AnyMoveBringsSliceDown(net, moves);
}

} // namespace

bool ChooseBotBonus(const TNet& net, int32_t skill, const TBotSituation& s, TBotBonus& out) {
    out = {};
    if (s.HammerArmed) {
        // An armed hammer turns every click on the board into a blow: strike, or give it back.
        if (!BestHammerBlow(net, true, out)) out = {bbHammer, 0, 0, 0};
        return true;
    }
    if (skill < 2 || CountSlices(net) == 0) return false;
    if (s.Stored[bbClock - 1] > 0 && s.TimeTotal > 0 && s.TimeLeft < cBotClockShare * s.TimeTotal) {
        out.Code = bbClock;
        return true;
    }
    const bool hammer = s.Stored[bbHammer - 1] > 0, sap = s.Stored[bbSap - 1] > 0,
               lamp = s.Stored[bbLamp - 1] > 0;
    if (!hammer && !sap && !lamp) return false;
    bool noMoves = false;
    if (!SlicesStuck(net, s, noMoves)) return false;
    TBotBonus blow, sapping;
    const bool blowHelps = hammer && BestHammerBlow(net, noMoves, blow);
    const bool sapHelps = sap && SapHelps(net, sapping);
    if (blowHelps || sapHelps) {
        out = !sapHelps || (blowHelps && blow.Score > sapping.Score) ? blow : sapping;
        return true;
    }
    // The lamp's colours are a gamble: only when nothing surer is at hand.
    if (lamp && ChipNextToSlice(net)) {
        out.Code = bbLamp;
        return true;
    }
    return false;
}

std::vector<std::vector<TBotAction>> BonusActions(const TNet& net, const TBotBonus& bonus) {
    if (bonus.Code < bbHammer || bonus.Code > bbLamp) return {};
    POINT slot{0, 0};
    if (BonusPanel) {
        slot = {BonusPanel->Slots[bonus.Code].X + BonusPanel->Slots[bonus.Code].W / 2,
                BonusPanel->Slots[bonus.Code].Y + BonusPanel->Slots[bonus.Code].H / 2};
    }
    const POINT rest = CellPixel(net, (net.Info.Width + 1) / 2, (net.Info.Height + 1) / 2);
    std::vector<std::vector<TBotAction>> frames;
    const bool strikeOnly = bonus.Code == bbHammer && Hammer && Hammer->Armed && bonus.X > 0;
    if (!strikeOnly) {
        frames.push_back({{WM_MOUSEMOVE, slot.x, slot.y}, {WM_LBUTTONDOWN, slot.x, slot.y}});
        frames.push_back({{WM_LBUTTONUP, slot.x, slot.y}});
    }
    if (bonus.Code == bbHammer && bonus.X > 0) {
        const POINT c = CellPixel(net, bonus.X, bonus.Y);
        frames.push_back({{WM_MOUSEMOVE, c.x, c.y}});
        frames.push_back({{WM_LBUTTONDOWN, c.x, c.y}});
        frames.push_back({{WM_LBUTTONUP, c.x, c.y}});
        return frames;
    }
    frames.push_back({{WM_MOUSEMOVE, rest.x, rest.y}});
    return frames;
}

// ---- turns ----

void TBotTurns::NoteSlices(const TNet& net) {
    std::vector<int32_t> slices;
    for (int32_t x = 1; x <= net.Info.Width; ++x)
        for (int32_t y = 1; y <= net.Info.Height; ++y)
            if (net.Cells.At(x, y).Kind == ckSlice)
                slices.insert(slices.end(), {net.Cells.At(x, y).Value, x, y});
    if (slices != LastSlices) StillMoves = 0;
    LastSlices = std::move(slices);
}

std::vector<std::vector<TBotAction>> TBotTurns::Next(const TNet& net, bool dragMode) {
    NoteSlices(net);
    TBotBonus bonus;
    if (ChooseBotBonus(net, Skill, ReadBotSituation(StillMoves), bonus)) {
        ++BonusTurns;
        StillMoves = 0; // give the board a few moves to show what the bonus did
        return BonusActions(net, bonus);
    }
    TBotMove move;
    if (!ChooseBotMove(net, Skill, move)) return {};
    ++Moves;
    ++StillMoves;
    return MoveActions(net, move, dragMode);
}

int32_t TotalBonusesUsed(const TLevelRun& run) {
    return run.BonusesUsed[0] + run.BonusesUsed[1] + run.BonusesUsed[2] + run.BonusesUsed[3];
}

namespace {

void ApplyAction(TMyMouse& mouse, const TBotAction& a) {
    if (a.Message == WM_MOUSEMOVE)
        mouse.SetPosition(a.X, a.Y);
    else
        mouse.SetButton(a.Message);
}

// Restores the globals a headless run borrows.
struct TBorrowedGlobals {
    TMyMouse* OldMouse = Mouse;
    TNet* OldNet = Net;
    TTimer* OldTimer = Timer;
    TBonusPanel* OldPanel = BonusPanel;
    THammer* OldHammer = Hammer;
    TBoardGameLink* OldGame = BoardGame;
    float OldDelta = Delta, OldDeltaSq = DeltaSq;
    int32_t OldFrame = FrameCount;
    ~TBorrowedGlobals() {
        Mouse = OldMouse;
        Net = OldNet;
        Timer = OldTimer;
        BonusPanel = OldPanel;
        Hammer = OldHammer;
        BoardGame = OldGame;
        Delta = OldDelta;
        DeltaSq = OldDeltaSq;
        FrameCount = OldFrame;
    }
};

// Stored bonuses taken from the panel: the sap, clock and lamp when their count drops, the hammer
// when it strikes (one given back to its slot was not used).
struct TBonusUse {
    int32_t Last[4] = {0, 0, 0, 0};
    bool HammerArmed = false;

    void Look(const TBonusPanel& panel, int32_t (&used)[4]) {
        const bool armed = Hammer && Hammer->Armed;
        for (int32_t i = 0; i < 4; ++i) {
            const int32_t now = panel.Count(i + 1);
            if (i == bbHammer - 1) {
                if (HammerArmed && !armed && now <= Last[i]) ++used[i];
            } else if (now < Last[i]) {
                used[i] += Last[i] - now;
            }
            Last[i] = now;
        }
        HammerArmed = armed;
    }
};

} // namespace

namespace {

struct TAutoplay {
    int32_t Skill = cBotMaxSkill;
    TBotTurns Turns;
    std::vector<std::vector<TBotAction>> Pending;
    size_t Next = 0;
    const TNet* Board = nullptr; // the board the pending actions were made for
} Bot;

bool BoardWaitsForPlayer() {
    if (!Net || Net->AState != asIdle) return false;
    return !BoardGame || (BoardGame->HasFocusNow() && !BoardGame->Paused() &&
                          !BoardGame->TransitionRunning() && !BoardGame->LevelComplete());
}

} // namespace

void SeedBot(uint32_t seed) {
    BotRandomState = seed * 2654435761u + 0x9E3779B9u;
    if (BotRandomState == 0) BotRandomState = 1;
}

void SetAutoplaySkill(int32_t skill) {
    Bot.Skill = std::clamp(skill, 0, cBotMaxSkill);
    Bot.Turns = TBotTurns(Bot.Skill);
}

void AutoplayFrame(int32_t) {
    if (!App) return;
    if (Bot.Board != Net) {
        Bot.Pending.clear();
        Bot.Next = 0;
        Bot.Board = Net;
        Bot.Turns = TBotTurns(Bot.Skill); // a new board: nothing is stuck yet
    }
    if (Bot.Next >= Bot.Pending.size()) {
        Bot.Pending.clear();
        Bot.Next = 0;
        if (!BoardWaitsForPlayer()) return;
        Bot.Pending = BotTurnInHands(*Net, Bot.Turns, BoardDragNDrop());
        if (Bot.Pending.empty()) return;
    }
    for (const TBotAction& a : Bot.Pending[Bot.Next])
        SendBotAction(a);
    ++Bot.Next;
}

TLevelRun PlayLevelHeadless(int32_t level, uint32_t seed, int32_t skill) {
    TBorrowedGlobals borrowed;
    TLevelRun run;
    run.Level = level;
    TMyMouse mouse;
    Mouse = &mouse;
    Delta = DeltaSq = 1;
    FrameCount = 0;
    CurrentPlayerRec() = TPlayerRec{};
    CurrentPlayerRec().Level = level;
    Timer = nullptr;
    BonusPanel = nullptr;
    BoardGame = nullptr; // no game window: items that leave the board arrive at once
    RandomSeed(seed);
    SeedBot(seed);
    TLevelInfo info;
    TNet net(info);
    run.Built = info.Width > 0 && info.Height > 0;
    run.SecondsAllowed = info.Time;
    run.Slices = CountSlices(net);
    if (!run.Built) return run;
    // The level window's own timer and bonus panel; the hammer becomes a child of this owner.
    TMaster window;
    TTimer* timer = window.Add(new TTimer(info.Time));
    timer->Init();
    TBonusPanel* panel = window.Add(new TBonusPanel());
    const bool drag = BoardDragNDrop();
    TBotTurns turns(skill);
    TBonusUse use;
    std::vector<std::vector<TBotAction>> pending;
    size_t next = 0;
    while (timer->TimeLeft > 0) {
        ++FrameCount;
        if (next >= pending.size() && net.AState == asIdle) {
            pending = turns.Next(net, drag);
            next = 0;
        }
        if (next < pending.size()) {
            for (const TBotAction& a : pending[next])
                ApplyAction(mouse, a);
            ++next;
        }
        panel->MouseProc(); // the level window offers the pointer to its panel first
        net.Step();
        window.Step();
        UpdateInput();
        use.Look(*panel, run.BonusesUsed);
        if (BoardCounters().SlicesDropped >= run.Slices && net.AState == asIdle) {
            run.Won = true;
            break;
        }
    }
    const TLevelCounters& c = BoardCounters();
    run.Moves = turns.Moves;
    run.SlicesDropped = c.SlicesDropped;
    run.BestCascade = c.BestCascade;
    run.Cascades = std::max(0, c.Falls - run.Moves);
    run.BonusesDropped = c.BonusesDropped;
    run.SecondsUsed = timer->Elapsed / 60.0f;
    for (int32_t x = 1; x <= info.Width; ++x)
        for (int32_t y = 1; y <= info.Height; ++y)
            if (net.Cells.At(x, y).Kind == ckSlice) run.SlicesLeftAt.push_back({x, y});
    return run;
}

} // namespace velmora
