#include "app/testhooks.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "app/screenshot.h"
#include "app/textfile.h"
#include "platform/gamepad.h"

namespace velmora {

TTestHooks TestHooks;

namespace {

bool ParseWhole(std::string_view text, int64_t& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, int32_t& w, int32_t& h) {
    const size_t x = text.find_first_of("xX");
    int64_t a = 0, b = 0;
    if (x == std::string_view::npos || !ParseWhole(text.substr(0, x), a) ||
        !ParseWhole(text.substr(x + 1), b))
        return false;
    if (a < 100 || b < 100 || a > 4096 || b > 4096) return false;
    w = static_cast<int32_t>(a);
    h = static_cast<int32_t>(b);
    return true;
}

bool ParseScreenshot(std::string_view text, TScreenshotRequest& out) {
    const size_t colon = text.find(':');
    int64_t frame = 0;
    if (colon == std::string_view::npos || !ParseWhole(text.substr(0, colon), frame) || frame < 1 ||
        colon + 1 >= text.size())
        return false;
    out.Frame = static_cast<int32_t>(frame);
    out.File = std::string(text.substr(colon + 1));
    return true;
}

} // namespace

bool ParseCommandLine(int argc, const char* const* argv, TTestHooks& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view& v) {
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            v = argv[++i];
            return true;
        };
        std::string_view v;
        int64_t n = 0;
        if (arg == "--fixed-step") {
            out.FixedStep = true;
        } else if (arg == "--windowed") {
            out.Windowed = true;
        } else if (arg == "--seed") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 0 || n > 0xFFFFFFFFll) {
                error = "--seed: not a number: " + std::string(v);
                return false;
            }
            out.HasSeed = true;
            out.Seed = static_cast<uint32_t>(n);
        } else if (arg == "--frames") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 1 || n > 0x7FFFFFFF) {
                error = "--frames: not a positive number: " + std::string(v);
                return false;
            }
            out.Frames = static_cast<int32_t>(n);
        } else if (arg == "--screenshot") {
            if (!value(v)) return false;
            TScreenshotRequest shot;
            if (!ParseScreenshot(v, shot)) {
                error = "--screenshot: expected FRAME:FILE, got " + std::string(v);
                return false;
            }
            out.Screenshots.push_back(shot);
        } else if (arg == "--size") {
            if (!value(v)) return false;
            if (!ParseSize(v, out.Width, out.Height)) {
                error = "--size: expected WxH between 100 and 4096, got " + std::string(v);
                return false;
            }
        } else if (arg == "--start-window") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 1 || n > 255) {
                error = "--start-window: expected a window code, got " + std::string(v);
                return false;
            }
            out.StartWindow = static_cast<int32_t>(n);
        } else if (arg == "--script") {
            if (!value(v)) return false;
            out.ScriptFile = std::string(v);
        } else if (arg == "--autoplay") {
            out.AutoplaySkill = 3;
        } else if (arg.starts_with("--autoplay=")) {
            const std::string_view skill = arg.substr(11);
            if (!ParseWhole(skill, n) || n < 0 || n > 3) {
                error = "--autoplay: expected a skill 0..3, got \"" + std::string(skill) + "\"";
                return false;
            }
            out.AutoplaySkill = static_cast<int32_t>(n);
        } else if (arg.starts_with("--autoplay-input=")) {
            const std::string_view how = arg.substr(17);
            if (how == "mouse")
                out.AutoplayInput = 0;
            else if (how == "keys")
                out.AutoplayInput = 1;
            else if (how == "pad")
                out.AutoplayInput = 2;
            else {
                error = "--autoplay-input: expected mouse, keys or pad, got \"" + std::string(how) + "\"";
                return false;
            }
        } else if (arg == "--impatient") {
            out.Impatient = true;
            if (out.AutoplaySkill < 0) out.AutoplaySkill = 3;
        } else if (arg == "--quit-after-levels") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 1 || n > 999) {
                error = "--quit-after-levels: expected 1..999, got " + std::string(v);
                return false;
            }
            out.QuitAfterLevels = static_cast<int32_t>(n);
        } else if (arg == "--record") {
            if (!value(v)) return false;
            out.RecordFile = std::string(v);
        } else if (arg == "--screens") {
            if (!value(v)) return false;
            out.ScreensDir = std::string(v);
        } else if (arg == "--quit-after-screens") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 1 || n > 99) {
                error = "--quit-after-screens: expected 1..99, got " + std::string(v);
                return false;
            }
            out.QuitAfterScreens = static_cast<int32_t>(n);
        } else if (arg == "--settings-ok") {
            out.SettingsOk = true;
        } else if (arg == "--draw-shots-only") {
            out.DrawShotsOnly = true;
        } else if (arg == "--save-every") {
            if (!value(v)) return false;
            if (!ParseWhole(v, n) || n < 1 || n > 0x7FFFFFFF) {
                error = "--save-every: not a positive number: " + std::string(v);
                return false;
            }
            out.SaveEvery = static_cast<int32_t>(n);
        } else {
            error = "unknown option " + std::string(arg);
            return false;
        }
    }
    return true;
}

namespace {

bool ScriptButton(std::string_view word, bool down, UINT& message) {
    if (word == "left")
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (word == "right")
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    else
        return false;
    return true;
}

// A script event, and whether it is the pointer move a button line implies.
struct TParsedEvent {
    TScriptEvent Event;
    bool ImpliedMove = false;
};

// One script line into its messages; false when it is malformed.
bool ParseScriptLine(const std::string& line, std::vector<TParsedEvent>& out) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.size() < 2) return false;
    int64_t frame = 0;
    if (!ParseWhole(words[0], frame) || frame < 1 || frame > 0x7FFFFFFF) return false;
    auto number = [&](size_t i, int64_t lo, int64_t hi, int64_t& v) {
        return i < words.size() && ParseWhole(words[i], v) && v >= lo && v <= hi;
    };
    TScriptEvent e;
    e.Frame = static_cast<int32_t>(frame);
    const std::string& kind = words[1];
    int64_t x = 0, y = 0, vk = 0;
    if (kind == "move" && words.size() == 4 && number(2, 0, 32767, x) && number(3, 0, 32767, y)) {
        e.Message = WM_MOUSEMOVE;
        e.LParam = MAKELPARAM(static_cast<int>(x), static_cast<int>(y));
        out.push_back({e});
    } else if ((kind == "down" || kind == "up") && words.size() == 5 &&
               ScriptButton(words[2], kind == "down", e.Message) && number(3, 0, 32767, x) &&
               number(4, 0, 32767, y)) {
        // The pointer is where the button acts.
        TScriptEvent move = e;
        move.Message = WM_MOUSEMOVE;
        move.LParam = MAKELPARAM(static_cast<int>(x), static_cast<int>(y));
        out.push_back({move, true});
        e.LParam = move.LParam;
        out.push_back({e});
    } else if ((kind == "key" || kind == "keydown" || kind == "keyup") && words.size() == 3 &&
               number(2, 1, 255, vk)) {
        e.WParam = static_cast<WPARAM>(vk);
        if (kind != "keyup") {
            e.Message = WM_KEYDOWN;
            out.push_back({e});
        }
        if (kind != "keydown") {
            e.Message = WM_KEYUP;
            out.push_back({e});
        }
    } else if ((kind == "pad" || kind == "paddown" || kind == "padup") && words.size() == 3) {
        TPadButton button;
        if (!PadButtonFromName(words[2], button)) return false;
        e.WParam = PadButtonKey(button);
        if (kind != "padup") {
            e.Message = WM_KEYDOWN;
            out.push_back({e});
        }
        if (kind != "paddown") {
            e.Message = WM_KEYUP;
            out.push_back({e});
        }
    } else if (kind == "close" && words.size() == 2) {
        e.Message = WM_CLOSE;
        out.push_back({e});
    } else if ((kind == "minimize" || kind == "restore") && words.size() == 2) {
        e.Message = WM_SYSCOMMAND;
        e.WParam = kind == "minimize" ? SC_MINIMIZE : SC_RESTORE;
        out.push_back({e});
    } else if ((kind == "hide" || kind == "show") && words.size() == 2) {
        e.Message = WM_SHOWWINDOW;
        e.WParam = kind == "show" ? TRUE : FALSE;
        out.push_back({e});
    } else {
        return false;
    }
    return true;
}

} // namespace

// A button line's implied move is left out when the script already put the pointer there: a
// recording holds every move it saw, and an extra one would be an input the session never had.
void ParseScript(const std::string& text, std::vector<TScriptEvent>& out) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::vector<TParsedEvent> parsed;
    while (std::getline(in, line)) {
        ++lineNo;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (Trim(line).empty()) continue;
        if (!ParseScriptLine(line, parsed))
            Log("uTestHooks.ParseScript : line " + std::to_string(lineNo) + " skipped: \"" + Trim(line) +
                "\"");
    }
    std::stable_sort(parsed.begin(), parsed.end(), [](const TParsedEvent& a, const TParsedEvent& b) {
        return a.Event.Frame < b.Event.Frame;
    });
    bool pointerKnown = false;
    LPARAM pointer = 0;
    for (const TParsedEvent& p : parsed) {
        const UINT m = p.Event.Message;
        const bool pointerMessage = m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_LBUTTONUP ||
                                    m == WM_RBUTTONDOWN || m == WM_RBUTTONUP;
        if (p.ImpliedMove && pointerKnown && pointer == p.Event.LParam) continue;
        if (pointerMessage) {
            pointerKnown = true;
            pointer = p.Event.LParam;
        }
        out.push_back(p.Event);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const TScriptEvent& a, const TScriptEvent& b) { return a.Frame < b.Frame; });
}

bool LoadScript(const std::string& path, std::vector<TScriptEvent>& out) {
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) {
        Log("uTestHooks.LoadScript : can't read \"" + path + "\"");
        return false;
    }
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    ParseScript(text, out);
    return true;
}

bool DrivenFixedStepRun(const TTestHooks& hooks) {
    const bool driven = !hooks.ScriptFile.empty() || hooks.AutoplaySkill >= 0 || hooks.Frames > 0;
    return hooks.FixedStep && driven;
}

void ApplyOptionOverrides(const TTestHooks& hooks) {
    if (hooks.Windowed) Options.Windowed = true;
    if (hooks.Width > 0) {
        Options.Width = hooks.Width;
        Options.Height = hooks.Height;
    }
}

namespace {
std::vector<TFrameInputHook> FrameInputHooks;
std::vector<TFrameSteppedHook> FrameSteppedHooks;
std::vector<TFrameDrawnHook> FrameDrawnHooks;
int32_t FrameWanted = 0; // the last frame a stepped hook wanted drawn
} // namespace

void RegisterFrameInputHook(TFrameInputHook hook) {
    if (hook) FrameInputHooks.push_back(hook);
}

void RegisterFrameSteppedHook(TFrameSteppedHook hook) {
    if (hook) FrameSteppedHooks.push_back(hook);
}

void RegisterFrameDrawnHook(TFrameDrawnHook hook) {
    if (hook) FrameDrawnHooks.push_back(hook);
}

void AfterFrameStep(int32_t frame) {
    // Kill tests stop the game at random moments: many of them fall inside a write.
    if (TestHooks.SaveEvery > 0 && frame % TestHooks.SaveEvery == 0) SaveGameDat();
    for (TFrameSteppedHook hook : FrameSteppedHooks)
        if (hook(frame)) FrameWanted = frame;
}

bool FrameToBeDrawn(int32_t frame) {
    if (!TestHooks.DrawShotsOnly || FrameWanted == frame) return true;
    return std::any_of(TestHooks.Screenshots.begin(), TestHooks.Screenshots.end(),
                       [frame](const TScreenshotRequest& s) { return s.Frame == frame; });
}

void DeliverScriptEvents(int32_t frame) {
    if (!App) return;
    for (const TScriptEvent& e : TestHooks.Script) {
        if (e.Frame != frame) continue;
        if (e.Message == WM_SHOWWINDOW) // the window's answer comes back as messages
            ShowWindow(App->Wnd, e.WParam ? SW_SHOW : SW_HIDE);
        else
            App->MsgProc(App->Wnd, e.Message, e.WParam, e.LParam);
    }
    for (TFrameInputHook hook : FrameInputHooks)
        hook(frame);
}

void TakeScreenshots(int32_t frame) {
    for (const TScreenshotRequest& s : TestHooks.Screenshots)
        if (s.Frame == frame && !SaveScreenshot(s.File))
            Log("uTestHooks.TakeScreenshots : failed for \"" + s.File + "\"");
    for (TFrameDrawnHook hook : FrameDrawnHooks)
        hook(frame);
}

namespace {

std::FILE* RecordOut = nullptr;

const char* ButtonWord(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ? "left" : "right";
}

} // namespace

bool StartRecording(const std::string& path) {
    StopRecording();
    RecordOut = std::fopen(path.c_str(), "w");
    if (!RecordOut) {
        Log("uTestHooks.StartRecording : can't write \"" + path + "\"");
        return false;
    }
    std::fputs("# Velmora input recording: replay with --fixed-step --seed N --script FILE\n", RecordOut);
    std::fflush(RecordOut);
    return true;
}

void StopRecording() {
    if (RecordOut) std::fclose(RecordOut);
    RecordOut = nullptr;
}

std::string ScriptLine(int32_t frame, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::string f = std::to_string(frame) + " ";
    const std::string xy = std::to_string(GET_X_LPARAM(lParam)) + " " + std::to_string(GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_MOUSEMOVE:
        return f + "move " + xy;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        return f + "down " + ButtonWord(message) + " " + xy;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        return f + "up " + ButtonWord(message) + " " + xy;
    case WM_KEYDOWN:
        return wParam >= 1 && wParam <= 255 ? f + "keydown " + std::to_string(wParam) : std::string();
    case WM_KEYUP:
        return wParam >= 1 && wParam <= 255 ? f + "keyup " + std::to_string(wParam) : std::string();
    case WM_CLOSE:
        return f + "close";
    default:
        return std::string();
    }
}

void RecordInputEvent(int32_t frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!RecordOut) return;
    // Closes the program itself asks for (Ctrl+X, the frame limit) follow from the replayed input.
    if (message == WM_CLOSE && CloseConfirmed) return;
    const std::string line = ScriptLine(frame, message, wParam, lParam);
    if (line.empty()) return;
    std::fputs((line + "\n").c_str(), RecordOut);
    std::fflush(RecordOut);
}

namespace {
bool RunEndRequested = false;
}

void RequestRunEnd() {
    RunEndRequested = true;
}

bool FrameLimitReached(int32_t framesDone) {
    return RunEndRequested || (TestHooks.Frames > 0 && framesDone >= TestHooks.Frames);
}

} // namespace velmora
