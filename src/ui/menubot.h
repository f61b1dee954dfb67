// The player bot in the menus: it presses the buttons a new player would press (Start, a new player
// with a name, Skip the story, Start on the map, OK after the level, Next after the artefacts) with
// the same mouse and key messages a person makes. It only reads the windows; what happens is what
// the windows do with those messages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace velmora {

class TW_Menu;

enum TMenuBotDeed : uint8_t {
    mbPress,     // click the first enabled button whose caption key is listed (most wanted first)
    mbPlayerRow, // click the player list's "New player" row (the first player's when the list is full)
    mbTypeName,  // type the bot's name into the empty name field, else click the listed button
};

struct TMenuBotPreference {
    const char* WindowClass;
    TMenuBotDeed Deed;
    std::vector<std::string> Captions;
};

// What the bot does in each window class; windows missing here (the level, the logo) are left alone.
const std::vector<TMenuBotPreference>& MenuBotTable();
const TMenuBotPreference* MenuBotPreferenceFor(const std::string& windowClass); // nil: not in the table

// One window message: a key for key messages, a back-buffer pixel for mouse messages.
struct TMenuBotMessage {
    UINT Message = 0;
    WPARAM Key = 0;
    int32_t X = 0, Y = 0;
};
using TMenuBotFrames = std::vector<std::vector<TMenuBotMessage>>; // one entry per frame, may be empty

// The window a person looks at: the one holding the keyboard focus (a dialog over its screen).
TW_Menu* FocusedMenuWindow();
// A person could act in the window now: it and the windows it lives in are alive, no window switch
// is pending, no passage effect runs, no button press is being shown and the window takes input.
bool MenuWindowReady(TW_Menu* window);
// The first listed caption with a button that is not disabled; -1 when there is none.
int32_t PreferredButton(const TW_Menu& window, const std::vector<std::string>& captions);
// A click at a pixel as a person makes it: the pointer arrives, the button goes down, then up.
TMenuBotFrames ClickFrames(int32_t x, int32_t y);
// Key messages that type `text` (capitals with Shift held), `gap` empty frames after each character.
TMenuBotFrames TypingFrames(const std::string& text, int32_t gap);

class TMenuBot {
  public:
    using TSink = std::function<void(const TMenuBotMessage&)>;
    TMenuBot(TSink sink, uint32_t seed, std::string name = "Bot");

    // One frame: the messages of a deed in progress, or a look at the focused window; a deed starts
    // once the window has been ready for a reading pause (40..69 frames of the bot's own dice).
    void Frame();
    // The messages the bot would send for its preference in the window, empty when nothing fits.
    TMenuBotFrames DeedFrames(TW_Menu& window, const TMenuBotPreference& pref);

    std::string Name;
    int32_t Deeds = 0; // deeds started
    // The impatient manner: reading pauses of a few frames, clicks through passages, and in the
    // level's menu now and then a restart or Save & Exit (each once per level) answered Yes.
    bool Impatient = false;

  private:
    int32_t ReadingPause();
    uint32_t Dice();
    TMenuBotFrames ImpatientGameMenu(TW_Menu& window);
    bool ClickThroughPassage();

    TSink Sink;
    uint32_t RandomState = 1;
    TMenuBotFrames Pending;
    size_t Next = 0;
    const TW_Menu* Watched = nullptr;
    float WatchedAge = 0;
    int32_t ReadyFrames = 0;
    int32_t Pause = 0;
    bool AnswerYes = false; // the next question is the one the bot asked for
    int32_t RestartedLevel = 0, LeftLevel = 0;
    int32_t PassageClickGap = 0;
};

// The bot of the running game, sending through the application's window procedure.
void StartMenuBot(uint32_t seed, bool impatient = false);
void MenuBotFrame(int32_t frame);

} // namespace velmora
