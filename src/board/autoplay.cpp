// The bot's move choice works on copies of the grid; the board itself only ever sees the pointer.
#include "board/autoplay.h"

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

TSwapOutcome SimulateSwap(TCellGrid& g, int32_t w, int32_t h, int32_t x1, int32_t y1, int32_t x2,
                          int32_t y2) {
    TSwapOutcome out;
    std::swap(g.At(x1, y1), g.At(x2, y2));
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
        do
            CollapseKnown(g, w, h, out);
        while (DropItems(g, w, h, out));
    }
    return out;
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
    if (skill >= 3) {
        std::vector<size_t> order(moves.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return moves[a].Score > moves[b].Score; });
        for (size_t k = 0; k < order.size() && k < 6; ++k)
            moves[order[k]].Score += 0.5f * BestFollowUp(after[order[k]], w, h);
    }
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

namespace {

int32_t CountSlices(const TNet& net) {
    int32_t n = 0;
    for (int32_t x = 1; x <= net.Info.Width; ++x)
        for (int32_t y = 1; y <= net.Info.Height; ++y)
            if (net.Cells.At(x, y).Kind == ckSlice) ++n;
    return n;
}

void ApplyAction(TMyMouse& mouse, const TBotAction& a) {
    if (a.Message == WM_MOUSEMOVE)
        mouse.SetPosition(a.X, a.Y);
    else
        mouse.SetButton(a.Message);
}

// Restores the globals a headless run borrows.
struct TBorrowedGlobals {
    TMyMouse* OldMouse = Mouse;
    float OldDelta = Delta, OldDeltaSq = DeltaSq;
    int32_t OldFrame = FrameCount;
    ~TBorrowedGlobals() {
        Mouse = OldMouse;
        Delta = OldDelta;
        DeltaSq = OldDeltaSq;
        FrameCount = OldFrame;
    }
};

} // namespace

namespace {

struct TAutoplay {
    int32_t Skill = cBotMaxSkill;
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
}

void AutoplayFrame(int32_t) {
    if (!App) return;
    if (Bot.Board != Net) {
        Bot.Pending.clear();
        Bot.Next = 0;
        Bot.Board = Net;
    }
    if (Bot.Next >= Bot.Pending.size()) {
        Bot.Pending.clear();
        Bot.Next = 0;
        TBotMove move;
        if (!BoardWaitsForPlayer() || !ChooseBotMove(*Net, Bot.Skill, move)) return;
        Bot.Pending = MoveActions(*Net, move, BoardDragNDrop());
    }
    for (const TBotAction& a : Bot.Pending[Bot.Next])
        App->MsgProc(App->Wnd, a.Message, 0, MAKELPARAM(a.X, a.Y));
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
    RandomSeed(seed);
    SeedBot(seed);
    TLevelInfo info;
    TNet net(info);
    run.Built = info.Width > 0 && info.Height > 0;
    run.SecondsAllowed = info.Time;
    run.Slices = CountSlices(net);
    if (!run.Built) return run;
    const bool drag = BoardDragNDrop();
    const float total = static_cast<float>(info.Time) * 60.0f;
    float timeLeft = total, elapsed = 0;
    bool started = false;
    int32_t dropped = 0;
    std::vector<std::vector<TBotAction>> pending;
    size_t next = 0;
    while (timeLeft > 0) {
        ++FrameCount;
        if (next >= pending.size() && net.AState == asIdle) {
            pending.clear();
            next = 0;
            TBotMove move;
            if (ChooseBotMove(net, skill, move)) {
                pending = MoveActions(net, move, drag);
                ++run.Moves;
            }
        }
        if (next < pending.size()) {
            for (const TBotAction& a : pending[next])
                ApplyAction(mouse, a);
            ++next;
            started = started || mouse.ButtonChangedNow();
        }
        net.Step();
        UpdateInput();
        const TLevelCounters& c = BoardCounters();
        if (c.SlicesDropped > dropped) {
            timeLeft = std::min(total, timeLeft + 300.0f * static_cast<float>(c.SlicesDropped - dropped));
            dropped = c.SlicesDropped;
        }
        if (started) {
            timeLeft -= Delta;
            elapsed += Delta;
        }
        if (dropped >= run.Slices && net.AState == asIdle) {
            run.Won = true;
            break;
        }
    }
    const TLevelCounters& c = BoardCounters();
    run.SlicesDropped = c.SlicesDropped;
    run.BestCascade = c.BestCascade;
    run.Cascades = std::max(0, c.Falls - run.Moves);
    run.BonusesDropped = c.BonusesDropped;
    run.SecondsUsed = elapsed / 60.0f;
    return run;
}

} // namespace velmora
