#include "ui/menubotkeys.h"

#include <array>
#include <deque>

#include "app/gamedat.h"
#include "board/autoplaykeys.h"
#include "ui/w_menu.h"
#include "ui/w_menuname.h"
#include "ui/w_menuplayer.h"
#include "ui/wincontrols.h"

namespace velmora {

namespace {

constexpr int32_t cQuietFrames = 2;

void Press(TMenuBotFrames& out, uint16_t key) {
    out.push_back({{WM_KEYDOWN, key, 0, 0}, {WM_KEYUP, key, 0, 0}});
    for (int32_t i = 0; i < cQuietFrames; ++i)
        out.emplace_back();
}

} // namespace

TMenuBotFrames ButtonPressKeys(const TButtonMaster& set, int32_t target, const TBotKeys& keys) {
    TMenuBotFrames out;
    int32_t from = set.ActiveIndex;
    if (!set.ValidIndex(from)) {
        from = set.FirstEnabled();
        Press(out, keys.Right); // lights the first enabled button
    }
    if (from < 0 || !set.ValidIndex(target)) return {};
    // Breadth first over the highlight's moves.
    const TMoveDirection dirs[4] = {mdUp, mdDown, mdLeft, mdRight};
    const uint16_t dirKeys[4] = {keys.Up, keys.Down, keys.Left, keys.Right};
    std::array<int32_t, cMaxButtons> came{};
    std::array<int32_t, cMaxButtons> how{};
    came.fill(-1);
    came[static_cast<size_t>(from)] = from;
    std::deque<int32_t> todo{from};
    while (!todo.empty() && came[static_cast<size_t>(target)] < 0) {
        const int32_t at = todo.front();
        todo.pop_front();
        for (int32_t d = 0; d < 4; ++d) {
            const int32_t next = set.ActiveAfter(at, dirs[d]);
            if (next < 0 || came[static_cast<size_t>(next)] >= 0) continue;
            came[static_cast<size_t>(next)] = at;
            how[static_cast<size_t>(next)] = d;
            todo.push_back(next);
        }
    }
    if (came[static_cast<size_t>(target)] < 0) return {};
    std::vector<uint16_t> path;
    for (int32_t at = target; at != from; at = came[static_cast<size_t>(at)])
        path.insert(path.begin(), dirKeys[how[static_cast<size_t>(at)]]);
    for (const uint16_t k : path)
        Press(out, k);
    Press(out, keys.Pick);
    return out;
}

TMenuBotFrames LetterTurnFrames(const std::string& name, const std::string& row, const TBotKeys& keys) {
    TMenuBotFrames out;
    bool first = true;
    for (const char c : name) {
        const size_t index = row.find(c);
        if (index == std::string::npos) continue;
        Press(out, first ? keys.Up : keys.Right); // a new letter, the row's first
        for (size_t i = 0; i < index; ++i)
            Press(out, keys.Up);
        first = false;
    }
    return out;
}

TMenuBotFrames KeyDeedFrames(TW_Menu& window, const TMenuBotPreference& pref, uint8_t hands,
                             const std::string& name) {
    const TBotKeys& keys = BotKeysOf(hands);
    if (auto* box = dynamic_cast<TW_MenuName*>(&window)) {
        // The field takes the arrows; Enter answers with OK.
        if (!box->Name().empty() || !box->Input) {
            TMenuBotFrames out;
            Press(out, keys.Pick);
            return out;
        }
        return hands == bhPad ? LetterTurnFrames(name, box->Input->LetterRow(), keys) : TypingFrames(name, 3);
    }
    if (auto* list = dynamic_cast<TW_MenuPlayer*>(&window); list && pref.Deed == mbPlayerRow) {
        // Up and Down walk the rows; Enter with no button lit takes the row.
        const int32_t row = GameDat.PlayerCount < cPlayerCount ? 0 : 1;
        TMenuBotFrames out;
        for (int32_t at = list->Selected; at != row; at += at < row ? 1 : -1)
            Press(out, at < row ? keys.Down : keys.Up);
        Press(out, keys.Pick);
        return out;
    }
    const int32_t target = PreferredButton(window, pref.Captions);
    if (target < 0 || !window.Buttons) return {};
    return ButtonPressKeys(*window.Buttons, target, keys);
}

} // namespace velmora
