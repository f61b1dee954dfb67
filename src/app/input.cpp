#include "app/input.h"

#include <array>

#include "app/log.h"
#include "app/options.h"
#include "engine/basic.h"

namespace velmora {

TMyMouse* Mouse = nullptr;
IDirectInput8* DInput = nullptr;
std::bitset<256> PressedKeys;
TPlayerInput PlayerInput;

namespace {
int32_t OwnInputDepth = 0;
} // namespace

TOwnInputScope::TOwnInputScope() {
    ++OwnInputDepth;
}
TOwnInputScope::~TOwnInputScope() {
    --OwnInputDepth;
}
bool OwnInputNow() {
    return OwnInputDepth > 0;
}

void NotePlayerInput(UINT message) {
    if (OwnInputNow()) return;
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ++PlayerInput.Presses;
        break;
    case WM_MOUSEMOVE:
        ++PlayerInput.Moves;
        break;
    default:
        break;
    }
}

void TMyMouse::SetButton(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        LeftDown = true;
        LeftEvent = mePressed;
        break;
    case WM_LBUTTONUP:
        LeftDown = false;
        LeftEvent = meReleased;
        break;
    case WM_RBUTTONDOWN:
        RightDown = true;
        RightEvent = mePressed;
        break;
    case WM_RBUTTONUP:
        RightDown = false;
        RightEvent = meReleased;
        break;
    default:
        Report("TMyMouse.SetButton error : Invalid WM_Button value");
        break;
    }
    ButtonFrame = FrameCount;
}

void TMyMouse::SetPosition(int32_t x, int32_t y) {
    X = x;
    Y = y;
    MoveFrame = FrameCount;
}

bool TMyMouse::ButtonChangedNow() const {
    return ButtonFrame == FrameCount;
}
bool TMyMouse::MovedNow() const {
    return MoveFrame == FrameCount;
}

float TMyMouse::WorldX() const {
    return static_cast<float>(X) * PixelSize - ViewRight + HalfPixel;
}
float TMyMouse::WorldY() const {
    return -static_cast<float>(Y) * PixelSize + ViewTop + HalfPixel;
}

bool TMyMouse::InArea(int32_t left, int32_t top, int32_t width, int32_t height) const {
    return X >= left && X <= left + width - 1 && Y >= top && Y <= top + height - 1;
}

void TMyMouse::ReadCursor(HWND) {
    // The platform delivers every pointer move as a message in back-buffer pixels, so the last
    // position the window procedure stored is already the cursor's position in client pixels.
}

HRESULT InitInput(HWND) {
    DoneInput();
    void* object = nullptr;
    const HRESULT hr = DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8, &object, nullptr);
    if (hr < 0 || !object) {
        Report("uInput.InitInput : DirectInput8Create failed");
        return hr < 0 ? hr : DIERR_GENERIC;
    }
    DInput = static_cast<IDirectInput8*>(object);
    Mouse = new TMyMouse();
    return 0;
}

void DoneInput() {
    delete Mouse;
    Mouse = nullptr;
    if (DInput) {
        DInput->Release();
        DInput = nullptr;
    }
}

void UpdateInput() {
    if (!Mouse) return;
    Mouse->LeftEvent = meNone;
    Mouse->RightEvent = meNone;
}

bool KeysExactly(TKeySet keys) {
    std::bitset<256> wanted;
    for (UINT k : keys)
        if (k < 256) wanted.set(k);
    return wanted == PressedKeys;
}

bool AnyKeyOf(TKeySet keys) {
    for (UINT k : keys)
        if (k < 256 && PressedKeys.test(k)) return true;
    return false;
}

namespace {

using TLayout = std::array<unsigned char, 256>;

// Keys that type the same in every layout: digits, numeric pad and space.
void FillCommonKeys(TLayout& t) {
    for (UINT d = 0; d <= 9; ++d) {
        t['0' + d] = static_cast<unsigned char>('0' + d);
        t[VK_NUMPAD0 + d] = static_cast<unsigned char>('0' + d);
    }
    t[VK_SPACE] = ' ';
    t[VK_MULTIPLY] = '*';
    t[VK_ADD] = '+';
    t[VK_SUBTRACT] = '-';
    t[VK_DECIMAL] = '.';
    t[VK_DIVIDE] = '/';
}

// US English.
TLayout MakeEnglish() {
    TLayout t{};
    FillCommonKeys(t);
    for (UINT c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<unsigned char>(c - 'A' + 'a');
    t[VK_OEM_1] = ';';
    t[VK_OEM_PLUS] = '=';
    t[VK_OEM_COMMA] = ',';
    t[VK_OEM_MINUS] = '-';
    t[VK_OEM_PERIOD] = '.';
    t[VK_OEM_2] = '/';
    t[VK_OEM_3] = '`';
    t[VK_OEM_4] = '[';
    t[VK_OEM_5] = '\\';
    t[VK_OEM_6] = ']';
    t[VK_OEM_7] = '\'';
    t[VK_OEM_102] = '\\';
    return t;
}

// Russian (JCUKEN) in code page 1251.
TLayout MakeRussian() {
    TLayout t{};
    FillCommonKeys(t);
    struct TPair {
        UINT Key;
        unsigned char Char;
    };
    static constexpr TPair cKeys[] = {
        {'Q', 0xE9},          {'W', 0xF6},           {'E', 0xF3},        {'R', 0xEA},      {'T', 0xE5},
        {'Y', 0xED},          {'U', 0xE3},           {'I', 0xF8},        {'O', 0xF9},      {'P', 0xE7},
        {VK_OEM_4, 0xF5},     {VK_OEM_6, 0xFA},      {'A', 0xF4},        {'S', 0xFB},      {'D', 0xE2},
        {'F', 0xE0},          {'G', 0xEF},           {'H', 0xF0},        {'J', 0xEE},      {'K', 0xEB},
        {'L', 0xE4},          {VK_OEM_1, 0xE6},      {VK_OEM_7, 0xFD},   {'Z', 0xFF},      {'X', 0xF7},
        {'C', 0xF1},          {'V', 0xEC},           {'B', 0xE8},        {'N', 0xF2},      {'M', 0xFC},
        {VK_OEM_COMMA, 0xE1}, {VK_OEM_PERIOD, 0xFE}, {VK_OEM_2, '.'},    {VK_OEM_3, 0xB8}, {VK_OEM_PLUS, '='},
        {VK_OEM_MINUS, '-'},  {VK_OEM_5, '\\'},      {VK_OEM_102, '\\'},
    };
    for (const TPair& p : cKeys)
        t[p.Key] = p.Char;
    return t;
}

// German (QWERTZ) in code page 1252; the accent keys are dead keys and type nothing alone.
TLayout MakeGerman() {
    TLayout t = MakeEnglish();
    t['Y'] = 'z';
    t['Z'] = 'y';
    t[VK_OEM_1] = 0xFC; // ü
    t[VK_OEM_PLUS] = '+';
    t[VK_OEM_2] = '#';
    t[VK_OEM_3] = 0xF6; // ö
    t[VK_OEM_4] = 0xDF; // ß
    t[VK_OEM_5] = 0;    // ^ (dead)
    t[VK_OEM_6] = 0;    // ´ (dead)
    t[VK_OEM_7] = 0xE4; // ä
    t[VK_OEM_102] = '<';
    return t;
}

const TLayout& Layout(int32_t language) {
    static const TLayout english = MakeEnglish();
    static const TLayout russian = MakeRussian();
    static const TLayout german = MakeGerman();
    switch (language) {
    case lgRussian:
        return russian;
    case lgGerman:
        return german;
    default:
        return english;
    }
}

// Capital of a lower-case letter of the three code pages; other characters stay.
unsigned char Capital(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c == 0xB8) return 0xA8;                               // ё
    if (c >= 0xE0) return static_cast<unsigned char>(c - 32); // also ä ö ü in 1252
    return c;
}

} // namespace

unsigned char LayoutChar(UINT virtualKey, int32_t language) {
    if (virtualKey > 255) return 0;
    return Layout(language)[virtualKey];
}

bool KeyToChar(UINT virtualKey, int32_t shift, int32_t language, std::string_view allowed, char& out) {
    unsigned char c = LayoutChar(virtualKey, language);
    if (c == 0) return false;
    if (shift != 0) c = Capital(c);
    const char ch = static_cast<char>(c);
    if (allowed.find(ch) == std::string_view::npos) return false;
    out = ch;
    return true;
}

} // namespace velmora
