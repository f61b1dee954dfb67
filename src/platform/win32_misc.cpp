// Virtual-key codes, message boxes, cursors and the clock.
#include "platform/files.h"
#include "platform/window_internal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace velmora {

// ---- Virtual keys ------------------------------------------------------------------------------

namespace {

struct ScanKey {
    SDL_Scancode Scan;
    UINT Vk;
};

// Keys by their place on a US keyboard, as Windows reports them there.
const ScanKey ScanTable[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_F1, VK_F1},
    {SDL_SCANCODE_F2, VK_F2},
    {SDL_SCANCODE_F3, VK_F3},
    {SDL_SCANCODE_F4, VK_F4},
    {SDL_SCANCODE_F5, VK_F5},
    {SDL_SCANCODE_F6, VK_F6},
    {SDL_SCANCODE_F7, VK_F7},
    {SDL_SCANCODE_F8, VK_F8},
    {SDL_SCANCODE_F9, VK_F9},
    {SDL_SCANCODE_F10, VK_F10},
    {SDL_SCANCODE_F11, VK_F11},
    {SDL_SCANCODE_F12, VK_F12},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_KP_1, VK_NUMPAD1},
    {SDL_SCANCODE_KP_2, VK_NUMPAD2},
    {SDL_SCANCODE_KP_3, VK_NUMPAD3},
    {SDL_SCANCODE_KP_4, VK_NUMPAD4},
    {SDL_SCANCODE_KP_5, VK_NUMPAD5},
    {SDL_SCANCODE_KP_6, VK_NUMPAD6},
    {SDL_SCANCODE_KP_7, VK_NUMPAD7},
    {SDL_SCANCODE_KP_8, VK_NUMPAD8},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102},
    {SDL_SCANCODE_APPLICATION, VK_APPS},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_LGUI, VK_LWIN},
    {SDL_SCANCODE_RGUI, VK_RWIN},
};

} // namespace

UINT VirtualKeyFromSdl(int sdlKeycode, int sdlScancode) {
    if (sdlKeycode >= 'a' && sdlKeycode <= 'z') return static_cast<UINT>(sdlKeycode - 'a' + 'A');
    if (sdlKeycode >= '0' && sdlKeycode <= '9') return static_cast<UINT>(sdlKeycode);
    if (sdlScancode >= SDL_SCANCODE_A && sdlScancode <= SDL_SCANCODE_Z)
        return static_cast<UINT>('A' + (sdlScancode - SDL_SCANCODE_A));
    if (sdlScancode >= SDL_SCANCODE_1 && sdlScancode <= SDL_SCANCODE_9)
        return static_cast<UINT>('1' + (sdlScancode - SDL_SCANCODE_1));
    if (sdlScancode == SDL_SCANCODE_0) return '0';
    for (const ScanKey& k : ScanTable)
        if (k.Scan == sdlScancode) return k.Vk;
    return 0;
}

// ---- Message boxes -----------------------------------------------------------------------------

namespace {

int autoAnswer = 0;
std::vector<MessageBoxRecord> shownBoxes;

int EnvironmentAnswer() {
    const char* v = std::getenv("VELMORA_MSGBOX_ANSWER");
    if (!v || !*v) return 0;
    const int n = std::atoi(v);
    return n >= IDOK && n <= IDNO ? n : 0;
}

std::vector<int> ButtonsOf(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    default:
        return {IDOK};
    }
}

const char* ButtonText(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "?";
    }
}

// An answer the box can give: the wanted button if the box has it, else its first button.
int AnswerFor(UINT type, int wanted) {
    const std::vector<int> buttons = ButtonsOf(type);
    for (int b : buttons)
        if (b == wanted) return b;
    return buttons.front();
}

bool HeadlessVideo() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

int ShowSdlBox(HWND hWnd, const char* text, const char* caption, UINT type) {
    const std::vector<int> ids = ButtonsOf(type);
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < ids.size(); ++i) {
        Uint32 flags = 0;
        if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (ids[i] == IDCANCEL || (ids.size() == 2 && ids[i] == IDNO))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back({flags, ids[i], ButtonText(ids[i])});
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    const UINT icon = type & 0xF0;
    if (icon == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (icon == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data{};
    data.flags = flags;
    data.window = hWnd && IsWindow(hWnd) ? hWnd->Sdl : nullptr;
    data.title = caption ? caption : "";
    data.message = text ? text : "";
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return 0;
    return pressed < 0 ? AnswerFor(type, IDCANCEL) : pressed;
}

} // namespace

int MessageBox(HWND hWnd, const char* text, const char* caption, UINT type) {
    int answer;
    const int preset = autoAnswer ? autoAnswer : EnvironmentAnswer();
    if (preset)
        answer = AnswerFor(type, preset);
    else if (HeadlessVideo())
        answer = AnswerFor(type, 0); // nobody could see it
    else
        answer = ShowSdlBox(hWnd, text, caption, type);
    if (preset || HeadlessVideo())
        std::fprintf(stderr, "MessageBox \"%s\": %s -> %d\n", caption ? caption : "", text ? text : "",
                     answer);
    shownBoxes.push_back({text ? text : "", caption ? caption : "", type, answer});
    return answer;
}

void SetMessageBoxAutoAnswer(int answer) {
    autoAnswer = answer >= IDOK && answer <= IDNO ? answer : 0;
}
const std::vector<MessageBoxRecord>& ShownMessageBoxes() {
    return shownBoxes;
}
void ClearShownMessageBoxes() {
    shownBoxes.clear();
}

// ---- Cursors -----------------------------------------------------------------------------------

struct HCURSOR__ {
    SDL_Cursor* Sdl;
};

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// The first "icon" chunk of an animated cursor (RIFF "ACON").
bool FirstAniFrame(const std::vector<std::uint8_t>& b, std::vector<std::uint8_t>& frame) {
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(reinterpret_cast<const char*>(&b[at]), 4);
        const std::uint32_t size = U32(b, at + 4);
        if (id == "LIST") {
            at += 12; // into the list: "LIST", size, list type
            continue;
        }
        if (id == "icon") {
            if (at + 8 + size > b.size()) return false;
            frame.assign(b.begin() + static_cast<long>(at + 8), b.begin() + static_cast<long>(at + 8 + size));
            return true;
        }
        // In 64 bits: a chunk size near 4 GiB must not wrap round to a step of nothing.
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    return false;
}

bool DecodeDib(const std::vector<std::uint8_t>& b, size_t at, size_t size, CursorImage& out,
               std::string& error) {
    if (size < 40 || at + size > b.size()) return (error = "image data outside the file"), false;
    if (b[at] == 0x89 && b[at + 1] == 'P') return (error = "PNG cursor images are not supported"), false;
    const std::uint32_t headerSize = U32(b, at);
    const int w = static_cast<std::int32_t>(U32(b, at + 4));
    const int h2 = static_cast<std::int32_t>(U32(b, at + 8));
    const int bits = U16(b, at + 14);
    const std::uint32_t compression = U32(b, at + 16);
    std::uint32_t colours = U32(b, at + 32);
    const int h = h2 / 2; // colour rows, then the AND mask rows
    if (w <= 0 || h <= 0 || w > 256 || h > 256 || compression != 0 || headerSize < 40)
        return (error = "unsupported bitmap header"), false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return (error = "unsupported bit depth " + std::to_string(bits)), false;
    if (bits <= 8 && colours == 0) colours = 1u << bits;
    const size_t paletteAt = at + headerSize;
    const size_t xorAt = paletteAt + (bits <= 8 ? colours * 4 : 0);
    const size_t xorStride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    const size_t andAt = xorAt + xorStride * h;
    const size_t andStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
    const bool hasMask = andAt + andStride * h <= at + size;
    if (xorAt + xorStride * h > at + size) return (error = "truncated pixel data"), false;

    out.Width = w;
    out.Height = h;
    out.Pixels.assign(static_cast<size_t>(w) * h, 0);
    bool anyAlpha = false;
    for (int row = 0; row < h; ++row) {
        const size_t src = xorAt + xorStride * (h - 1 - row); // bottom-up
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = 0;
            if (bits == 32)
                p = U32(b, src + x * 4);
            else if (bits == 24)
                p = 0xFF000000u | b[src + x * 3] | (b[src + x * 3 + 1] << 8) | (b[src + x * 3 + 2] << 16);
            else {
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                const unsigned index = (b[src + x / perByte] >> shift) & ((1u << bits) - 1);
                if (index >= colours) return (error = "palette index out of range"), false;
                p = 0xFF000000u | (U32(b, paletteAt + index * 4) & 0xFFFFFF);
            }
            if (bits == 32 && (p >> 24)) anyAlpha = true;
            out.Pixels[static_cast<size_t>(row) * w + x] = p;
        }
    }
    // 32-bit images carry their own alpha; the others (and 32-bit ones without any) use the mask.
    if (!(bits == 32 && anyAlpha)) {
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x) {
                std::uint32_t& p = out.Pixels[static_cast<size_t>(row) * w + x];
                bool transparent = false;
                if (hasMask) {
                    const size_t src = andAt + andStride * (h - 1 - row);
                    transparent = (b[src + x / 8] >> (7 - x % 8)) & 1;
                }
                p = transparent ? 0 : (p | 0xFF000000u);
            }
    }
    return true;
}

} // namespace

bool DecodeCursorFile(const std::vector<std::uint8_t>& bytes, CursorImage& out, std::string& error) {
    out = CursorImage{};
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(&bytes[8], "ACON", 4) == 0) {
        std::vector<std::uint8_t> frame;
        if (!FirstAniFrame(bytes, frame)) return (error = "animated cursor without frames"), false;
        return DecodeCursorFile(frame, out, error);
    }
    if (bytes.size() < 6 || U16(bytes, 0) != 0 || (U16(bytes, 2) != 1 && U16(bytes, 2) != 2))
        return (error = "not a cursor file"), false;
    const bool isCursor = U16(bytes, 2) == 2;
    const int count = U16(bytes, 4);
    if (count == 0 || bytes.size() < 6 + 16u * count) return (error = "cursor directory truncated"), false;
    // The largest image wins (0 in the directory means 256).
    int best = 0, bestArea = -1;
    for (int i = 0; i < count; ++i) {
        const size_t e = 6 + 16u * i;
        const int w = bytes[e] ? bytes[e] : 256, h = bytes[e + 1] ? bytes[e + 1] : 256;
        if (w * h > bestArea) best = i, bestArea = w * h;
    }
    const size_t e = 6 + 16u * best;
    if (!DecodeDib(bytes, U32(bytes, e + 12), U32(bytes, e + 8), out, error)) return false;
    out.HotX = isCursor ? std::min<int>(U16(bytes, e + 4), out.Width - 1) : out.Width / 2;
    out.HotY = isCursor ? std::min<int>(U16(bytes, e + 6), out.Height - 1) : out.Height / 2;
    return true;
}

HCURSOR LoadCursorFromFile(const char* fileName) {
    std::vector<std::uint8_t> bytes;
    if (!fileName || !ReadWholeFile(fileName, bytes, cMaxSmallFileBytes)) return nullptr;
    CursorImage image;
    std::string error;
    if (!DecodeCursorFile(bytes, image, error)) {
        std::fprintf(stderr, "LoadCursorFromFile \"%s\": %s\n", fileName, error.c_str());
        return nullptr;
    }
    if (!detail::StartVideo()) return nullptr;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(image.Pixels.data(), image.Width, image.Height,
                                                              32, image.Width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return nullptr;
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.HotX, image.HotY);
    SDL_FreeSurface(surface);
    // A video driver without cursors (offscreen) still gets a handle: the file was good.
    return new HCURSOR__{cursor};
}

namespace {
HCURSOR currentCursor = nullptr;
int cursorCounter = 0;
} // namespace

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = currentCursor;
    currentCursor = cursor;
    SDL_Cursor* sdl = cursor ? cursor->Sdl : SDL_GetDefaultCursor();
    if (SDL_WasInit(SDL_INIT_VIDEO) && sdl) SDL_SetCursor(sdl);
    return previous;
}

int ShowCursor(BOOL show) {
    cursorCounter += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCounter;
}

BOOL DestroyCursor(HCURSOR cursor) {
    if (!cursor) return FALSE;
    if (cursor == currentCursor) SetCursor(nullptr);
    if (cursor->Sdl) SDL_FreeCursor(cursor->Sdl);
    delete cursor;
    return TRUE;
}

// ---- Clock -------------------------------------------------------------------------------------

namespace {
LONGLONG (*counterHook)() = nullptr;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    count->QuadPart = counterHook ? counterHook() : static_cast<LONGLONG>(SDL_GetPerformanceCounter());
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceFrequency());
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    SDL_Delay(milliseconds);
}

void SleepMicroseconds(DWORD microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

DWORD GetTickCount() {
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
}

void SetPerformanceCounterHook(LONGLONG (*hook)()) {
    counterHook = hook;
}

} // namespace velmora
