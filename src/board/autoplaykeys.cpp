#include "board/autoplaykeys.h"

#include <array>
#include <deque>

#include "app/d3dapp.h"
#include "board/boardcursor.h"
#include "board/collaborators.h"
#include "board/net.h"
#include "platform/gamepad.h"

namespace velmora {

namespace {

uint8_t Hands = bhMouse;
constexpr int32_t cQuietFrames = 2; // after each press, as a person's thumb comes back

constexpr int32_t cDirX[4] = {0, 0, -1, 1}, cDirY[4] = {-1, 1, 0, 0};

TBotKeys PadKeys() {
    TBotKeys k{};
    k.Up = static_cast<uint16_t>(PadButtonKey(pbUp));
    k.Down = static_cast<uint16_t>(PadButtonKey(pbDown));
    k.Left = static_cast<uint16_t>(PadButtonKey(pbLeft));
    k.Right = static_cast<uint16_t>(PadButtonKey(pbRight));
    k.Pick = static_cast<uint16_t>(PadButtonKey(pbA));
    k.Cancel = static_cast<uint16_t>(PadButtonKey(pbB));
    const TPadButton slots[4] = {pbX, pbY, pbLeftShoulder, pbRightShoulder};
    for (int32_t i = 0; i < 4; ++i)
        k.Bonus[i] = static_cast<uint16_t>(PadButtonKey(slots[i]));
    return k;
}

uint16_t DirKey(const TBotKeys& k, int32_t dir) {
    const uint16_t keys[4] = {k.Up, k.Down, k.Left, k.Right};
    return keys[dir];
}

void Press(std::vector<std::vector<TBotAction>>& out, uint16_t key) {
    out.push_back({{WM_KEYDOWN, key, 0}, {WM_KEYUP, key, 0}});
    for (int32_t i = 0; i < cQuietFrames; ++i)
        out.emplace_back();
}

bool CellAtPixel(const TNet& net, int32_t px, int32_t py, int32_t& x, int32_t& y) {
    if (VisNet) {
        VisNet->PointToCell(px, py, x, y);
    } else {
        x = px < net.PixelLeft() ? -1 : (px - net.PixelLeft()) / cCellPixels + 1;
        y = py < net.PixelTop() ? -1 : (py - net.PixelTop()) / cCellPixels + 1;
    }
    return CursorCanStand(net, x, y);
}

int32_t SlotAtPixel(int32_t px, int32_t py) {
    if (!BonusPanel) return 0;
    for (int32_t i = 1; i <= 4; ++i) {
        const TBonusPanel::TSlot& s = BonusPanel->Slots[i];
        if (px >= s.X && px < s.X + s.W && py >= s.Y && py < s.Y + s.H) return i;
    }
    return 0;
}

} // namespace

void SetBotHands(uint8_t hands) {
    Hands = hands <= bhPad ? hands : static_cast<uint8_t>(bhMouse);
}

uint8_t BotHands() {
    return Hands;
}

const TBotKeys& BotKeysOf(uint8_t hands) {
    static const TBotKeys keyboard{
        VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_ESCAPE, {VK_F1, VK_F2, VK_F3, VK_F4}};
    static const TBotKeys pad = PadKeys();
    return hands == bhPad ? pad : keyboard;
}

std::vector<int32_t> CursorPath(const TNet& net, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    if (fromX == toX && fromY == toY) return {};
    // Breadth first over the cursor's own steps; a board has at most 32 x 32 cells.
    std::array<int32_t, 33 * 33> from{};
    std::array<int8_t, 33 * 33> how{};
    from.fill(-1);
    auto index = [](int32_t x, int32_t y) { return y * 33 + x; };
    std::deque<int32_t> todo{index(fromX, fromY)};
    from[index(fromX, fromY)] = index(fromX, fromY);
    while (!todo.empty()) {
        const int32_t at = todo.front();
        todo.pop_front();
        if (at == index(toX, toY)) break;
        for (int32_t d = 0; d < 4; ++d) {
            int32_t x = at % 33, y = at / 33;
            if (!CursorStep(net, x, y, cDirX[d], cDirY[d]) || from[index(x, y)] >= 0) continue;
            from[index(x, y)] = at;
            how[index(x, y)] = static_cast<int8_t>(d);
            todo.push_back(index(x, y));
        }
    }
    std::vector<int32_t> path;
    if (toX < 0 || toY < 0 || toX > 32 || toY > 32 || from[index(toX, toY)] < 0) return path;
    for (int32_t at = index(toX, toY); at != index(fromX, fromY); at = from[at])
        path.insert(path.begin(), how[at]);
    return path;
}

std::vector<std::vector<TBotAction>> PointerPlanAsKeys(const TNet& net,
                                                       const std::vector<std::vector<TBotAction>>& plan,
                                                       int32_t cursorX, int32_t cursorY,
                                                       const TBotKeys& keys) {
    std::vector<std::vector<TBotAction>> out;
    bool armed = Hammer && Hammer->Armed, picked = false;
    int32_t pickX = 0, pickY = 0;
    auto goTo = [&](int32_t x, int32_t y) {
        for (const int32_t d : CursorPath(net, cursorX, cursorY, x, y))
            Press(out, DirKey(keys, d));
        cursorX = x;
        cursorY = y;
    };
    for (const std::vector<TBotAction>& frame : plan)
        for (const TBotAction& a : frame) {
            if (a.Message == WM_RBUTTONDOWN && armed) {
                Press(out, keys.Cancel); // the hammer goes back
                armed = false;
            }
            if (a.Message != WM_LBUTTONDOWN) continue;
            int32_t x = 0, y = 0;
            if (const int32_t slot = SlotAtPixel(a.X, a.Y); slot > 0) {
                Press(out, slot == 1 && armed ? keys.Cancel : keys.Bonus[slot - 1]);
                armed = slot == 1 && !armed;
            } else if (CellAtPixel(net, a.X, a.Y, x, y)) {
                if (picked && !armed && TNet::IsNeighbour(pickX, pickY, x, y)) {
                    const int32_t d = x < pickX ? 2 : x > pickX ? 3 : y < pickY ? 0 : 1;
                    Press(out, DirKey(keys, d));
                    picked = false;
                    cursorX = x;
                    cursorY = y;
                    continue;
                }
                goTo(x, y);
                Press(out, keys.Pick);
                picked = !armed;
                armed = false;
                pickX = x;
                pickY = y;
            }
        }
    return out;
}

std::vector<std::vector<TBotAction>> BotTurnInHands(const TNet& net, TBotTurns& turns, bool dragMode) {
    if (Hands == bhMouse || !BoardCursor) return turns.Next(net, dragMode);
    const TBotKeys& keys = BotKeysOf(Hands);
    std::vector<std::vector<TBotAction>> out;
    if (Help)
        Press(out, keys.Pick); // a bubble takes the pick key to close
    else if (!BoardCursor->Shown)
        Press(out, keys.Up); // the first press only shows the cursor
    else if (net.Selected)
        Press(out, keys.Cancel);
    else
        out = PointerPlanAsKeys(net, turns.Next(net, false), BoardCursor->X, BoardCursor->Y, keys);
    return out;
}

void SendBotAction(const TBotAction& a) {
    if (!App) return;
    if (BotActionIsKey(a))
        App->MsgProc(App->Wnd, a.Message, static_cast<WPARAM>(a.X), 0);
    else
        App->MsgProc(App->Wnd, a.Message, 0, MAKELPARAM(a.X, a.Y));
}

} // namespace velmora
