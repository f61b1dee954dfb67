// The idle demo: after the main menu has been idle, the game window plays a level of the campaign by
// itself (window code cIdleDemoWindow), the level bot clicking through the mouse. It runs on a
// scratch player record, so no player's record, the high scores or "Game.dat" change; any key or
// click of the player, or the end of the level, returns to the main menu.
#pragma once

#include <cstdint>

#include "app/gamedat.h"

namespace velmora {

class TBasic;

constexpr int32_t cDemoBotSkill = 3;

// A level the current player has already reached, drawn from the game's random source (level 1
// without a player); never beyond the levels of the country table.
int32_t ChooseDemoLevel();
// The record a demo plays on: the level, three lives, no score, no stored bonuses, every help topic
// marked as seen.
TPlayerRec DemoRecord(int32_t level);
// The frame input hook of the game without --autoplay: while a demo plays, the bot's pointer actions
// go through the window procedure as the program's own input.
void IdleDemoFrame(int32_t frame);
TBasic* CreateDemoWindow();

} // namespace velmora
