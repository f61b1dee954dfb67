// The bot's hands: its turns reach the game through the mouse, the keyboard or a gamepad. With
// keys or a pad, the pointer plan of a turn becomes presses on the board cursor: arrows to the
// cell, the pick key, the arrow toward the neighbour; a bonus slot's click becomes its bonus key.
#pragma once

#include <cstdint>
#include <vector>

#include "board/autoplay.h"

namespace velmora {

enum TBotHands : uint8_t { bhMouse = 0, bhKeys = 1, bhPad = 2 };
void SetBotHands(uint8_t hands);
uint8_t BotHands();

// The keys a pair of hands presses for each deed (a pad's are those its buttons send).
struct TBotKeys {
    uint16_t Up, Down, Left, Right, Pick, Cancel;
    uint16_t Bonus[4]; // slots 1..4
};
const TBotKeys& BotKeysOf(uint8_t hands);

// Shortest presses of the arrows that take the board cursor from one cell to another, as the
// cursor moves (over holes); empty when it stands there or cannot get there. Directions are
// 0 up, 1 down, 2 left, 3 right.
std::vector<int32_t> CursorPath(const TNet& net, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);

// A turn's pointer plan as key presses, with the cursor at (cursorX, cursorY): one press a frame,
// two quiet frames after each. Key actions carry the virtual key in X (see SendBotAction).
std::vector<std::vector<TBotAction>> PointerPlanAsKeys(const TNet& net,
                                                       const std::vector<std::vector<TBotAction>>& plan,
                                                       int32_t cursorX, int32_t cursorY,
                                                       const TBotKeys& keys);

// The next turn in the bot's hands. With keys or a pad, first what readies the board for them (a
// help bubble closed, the hidden cursor shown, a stray pick dropped), each as a turn of its own.
std::vector<std::vector<TBotAction>> BotTurnInHands(const TNet& net, TBotTurns& turns, bool dragMode);
// Sends one action to the application's window procedure (keys with their virtual key).
void SendBotAction(const TBotAction& a);

} // namespace velmora
