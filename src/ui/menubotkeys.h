// The menu bot's deeds with keys or a gamepad instead of the mouse: the arrows walk the button set
// to the wanted button (as the set moves its highlight) and Enter presses it; the player list is
// walked with Up and Down; a name is typed, or turned letter by letter on a pad.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/menubot.h"

namespace velmora {

class TButtonMaster;
struct TBotKeys;

// The arrows (virtual keys from `keys`) that take the highlight of the set from its active button
// (none: the first arrow lights the first enabled button) to `target`, then the pick key.
TMenuBotFrames ButtonPressKeys(const TButtonMaster& set, int32_t target, const TBotKeys& keys);
// A name turned in with Up and Right over a text field's letter row (a pad has no letter keys).
TMenuBotFrames LetterTurnFrames(const std::string& name, const std::string& row, const TBotKeys& keys);
// The deed of a menu bot preference with the given hands (bhKeys or bhPad).
TMenuBotFrames KeyDeedFrames(TW_Menu& window, const TMenuBotPreference& pref, uint8_t hands,
                             const std::string& name);

} // namespace velmora
