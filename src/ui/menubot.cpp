#include "ui/menubot.h"

#include <cctype>
#include <memory>

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "board/autoplaykeys.h"
#include "engine/group.h"
#include "ui/menubotkeys.h"
#include "ui/passage.h"
#include "ui/w_menu.h"
#include "ui/w_menuname.h"
#include "ui/w_menuplayer.h"
#include "ui/wincontrols.h"

namespace velmora {

namespace {

// A person reads a screen for about a second before acting on it.
constexpr int32_t cReadingPauseMin = 40, cReadingPauseSpread = 30;
// Frames between two typed characters.
constexpr int32_t cTypingGapMin = 3, cTypingGapSpread = 5;

// Yes/No questions are answered No: the bot never leaves, deletes or restarts anything.
const std::vector<TMenuBotPreference> cMenuBotTable = {
    {"TW_MenuMain", mbPress, {"TEXT_Start"}},
    {"TW_MenuPlayer", mbPlayerRow, {}},
    {"TW_MenuName", mbTypeName, {"TEXT_Ok"}},
    {"TW_Dialog", mbPress, {"TEXT_Continue", "TEXT_No", "TEXT_Ok"}},
    {"TW_ExitDialog", mbPress, {"TEXT_No"}},
    {"TW_History", mbPress, {"TEXT_Skip", "TEXT_Next"}},
    {"TW_MenuMap", mbPress, {"TEXT_Start"}},
    {"TW_Help", mbPress, {"TEXT_Start", "TEXT_Ok"}},
    {"TW_MenuStats", mbPress, {"Text_Ok", "TEXT_Ok"}},
    {"TW_Artefacts", mbPress, {"TEXT_Next"}},
    {"TW_HiScores", mbPress, {"TEXT_Ok"}},
    {"TW_MenuOptions", mbPress, {"TEXT_Ok"}},
    {"TW_MenuGame", mbPress, {"TEXT_Resume"}},
};

bool InsideLiveWindows(const TBasic* obj) {
    for (const TBasic* o = obj; o; o = o->Parent)
        if (o->Dead) return false;
    return true;
}

TMenuBotFrames PressFrames(const TW_Menu& window, const std::vector<std::string>& captions) {
    const int32_t index = PreferredButton(window, captions);
    if (index < 0) return {};
    const TPixelRect& r = window.Buttons->ButtonList[index].Rect;
    return ClickFrames(r.Left + r.Width / 2, r.Top + r.Height / 2);
}

TMenuBotFrames PlayerRowFrames(TW_Menu& window) {
    auto* list = dynamic_cast<TW_MenuPlayer*>(&window);
    if (!list) return {};
    // A full list takes no new player: the first one plays instead of asking again and again.
    const int32_t row = GameDat.PlayerCount < cPlayerCount ? 0 : 1;
    const TPixelRect r = TW_MenuPlayer::RowRect(list->PanelLeftPx(), list->PanelTopPx(), row);
    return ClickFrames(r.Left + r.Width / 2, r.Top + r.Height / 2);
}

} // namespace

const std::vector<TMenuBotPreference>& MenuBotTable() {
    return cMenuBotTable;
}

const TMenuBotPreference* MenuBotPreferenceFor(const std::string& windowClass) {
    for (const TMenuBotPreference& p : cMenuBotTable)
        if (windowClass == p.WindowClass) return &p;
    return nullptr;
}

TW_Menu* FocusedMenuWindow() {
    return dynamic_cast<TW_Menu*>(WindowOf(FocusObject));
}

bool MenuWindowReady(TW_Menu* window) {
    if (!window || !WindowHoldsFocus(window) || !InsideLiveWindows(window)) return false;
    if (RootGroup && RootGroup->NextWindow != 0) return false;
    if (PassageEffect || !window->Buttons || window->Buttons->Busy()) return false;
    return window->CanInteract();
}

int32_t PreferredButton(const TW_Menu& window, const std::vector<std::string>& captions) {
    const TButtonMaster* set = window.Buttons;
    if (!set || !set->Visible) return -1;
    for (const std::string& caption : captions)
        for (int32_t i = 0; i < set->Count; ++i) {
            const TButtonRec& b = set->ButtonList[i];
            if (b.Created && b.State != bsDisabled && b.Caption == caption) return i;
        }
    return -1;
}

TMenuBotFrames ClickFrames(int32_t x, int32_t y) {
    return {{{WM_MOUSEMOVE, 0, x, y}}, {{WM_LBUTTONDOWN, 0, x, y}}, {{WM_LBUTTONUP, 0, x, y}}};
}

TMenuBotFrames TypingFrames(const std::string& text, int32_t gap) {
    TMenuBotFrames frames;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool capital = std::isupper(u) != 0;
        const WPARAM key = c == ' ' ? VK_SPACE : static_cast<WPARAM>(std::toupper(u));
        if (capital) frames.push_back({{WM_KEYDOWN, VK_SHIFT, 0, 0}});
        frames.push_back({{WM_KEYDOWN, key, 0, 0}});
        frames.push_back({{WM_KEYUP, key, 0, 0}});
        if (capital) frames.push_back({{WM_KEYUP, VK_SHIFT, 0, 0}});
        for (int32_t i = 0; i < gap; ++i)
            frames.emplace_back();
    }
    return frames;
}

// ---- TMenuBot ---------------------------------------------------------------------------------

TMenuBot::TMenuBot(TSink sink, uint32_t seed, std::string name)
    : Name(std::move(name)), Sink(std::move(sink)) {
    RandomState = seed * 2654435761u + 0x6A09E667u;
    if (RandomState == 0) RandomState = 1;
    Pause = ReadingPause();
}

uint32_t TMenuBot::Dice() {
    RandomState ^= RandomState << 13;
    RandomState ^= RandomState >> 17;
    RandomState ^= RandomState << 5;
    return RandomState;
}

int32_t TMenuBot::ReadingPause() {
    return cReadingPauseMin + static_cast<int32_t>(Dice() % cReadingPauseSpread);
}

TMenuBotFrames TMenuBot::DeedFrames(TW_Menu& window, const TMenuBotPreference& pref) {
    if (BotHands() != bhMouse) return KeyDeedFrames(window, pref, BotHands(), Name);
    switch (pref.Deed) {
    case mbPress:
        return PressFrames(window, pref.Captions);
    case mbPlayerRow:
        return PlayerRowFrames(window);
    case mbTypeName:
        if (auto* box = dynamic_cast<TW_MenuName*>(&window); box && box->Name().empty())
            return TypingFrames(Name, cTypingGapMin + static_cast<int32_t>(Dice() % cTypingGapSpread));
        return PressFrames(window, pref.Captions);
    }
    return {};
}

void TMenuBot::Frame() {
    if (Next < Pending.size()) {
        for (const TMenuBotMessage& m : Pending[Next])
            Sink(m);
        ++Next;
        return;
    }
    TW_Menu* window = FocusedMenuWindow();
    // Another window, or a new one where the last one was: it is read from the start.
    if (window != Watched || (window && window->LifeTime < WatchedAge)) {
        Watched = window;
        ReadyFrames = 0;
    }
    WatchedAge = window ? window->LifeTime : 0;
    const TMenuBotPreference* pref = window ? MenuBotPreferenceFor(window->ClassName()) : nullptr;
    if (!pref || !MenuWindowReady(window)) {
        ReadyFrames = 0;
        return;
    }
    if (++ReadyFrames < Pause) return;
    ReadyFrames = 0;
    Pause = ReadingPause();
    Pending = DeedFrames(*window, *pref);
    Next = 0;
    if (Pending.empty()) return;
    ++Deeds;
    Frame();
}

// ---- the running game -------------------------------------------------------------------------

namespace {

std::unique_ptr<TMenuBot> GameMenuBot;

void SendToWindowProcedure(const TMenuBotMessage& m) {
    if (!App) return;
    const bool key = m.Message == WM_KEYDOWN || m.Message == WM_KEYUP;
    App->MsgProc(App->Wnd, m.Message, key ? m.Key : 0, key ? 0 : MAKELPARAM(m.X, m.Y));
}

} // namespace

void StartMenuBot(uint32_t seed) {
    GameMenuBot = std::make_unique<TMenuBot>(SendToWindowProcedure, seed);
}

void MenuBotFrame(int32_t) {
    if (GameMenuBot && App) GameMenuBot->Frame();
}

} // namespace velmora
