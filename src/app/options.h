// Configuration ("Options.txt"), the data folders and the screen geometry every drawing class uses.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

struct TOptionsRec {
    int32_t Preset = 0;
    bool Windowed = false;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t HalfWidth = 0;
    int32_t HalfHeight = 0;
    int32_t Format = 0; // D3DFORMAT value
    int32_t RefreshRate = 0;
    bool WindowBorder = false;
    bool VSync = true;
    bool SoundEnabled = false;
    bool WaitGPU = false;
    bool AdvancedOpt = false;
    int32_t SpiralType = 0;
    int32_t SpiralCount = 0;
    int32_t BlendMode = 0;
    std::string Link_OtherGames;
    std::string Link_LeftLogoClick;
    std::string Link_RightLogoClick;
    int32_t CONST_BonusLifeScore = 0;
    int32_t CONST_BonusMoneyScores = 0;
    int32_t CONST_BlickX = 0;
    int32_t CONST_BlickY = 0;
    float CONST_AngleCoeff = 0;
    int32_t CONST_MenuRandSeed = 0;
    std::string Language; // the player's language choice ("Eng", "Rus", "Ger"); empty: none saved
    int32_t FrameLimit = -1; // frames per second at most; 0: no limit; -1: the display's refresh rate
};

extern TOptionsRec Options;

// Data folders, formed once from the base folder. Paths keep the game's backslash spelling
// ("\\Textures\\x.tga" appended to them); the platform's file helpers resolve them.
struct TDataPaths {
    std::string Base, Textures, Fonts, Levels, Texts, PlayerData, GameDat, Snd, Mus, OptionsFile, ErrorLog;
};
extern TDataPaths Paths;
void InitDataPaths(const std::string& base);

bool ReadOptions();                                 // false when "Options.txt" is missing
bool ReadOptionsFrom(const std::string& path, TOptionsRec& rec);
void SaveOptions();
bool SaveOptionsTo(const std::string& path, const TOptionsRec& rec);

// The layout of every screen is drawn in 800 x 600 pixels; the configured size is the window's.
constexpr int32_t cLayoutWidth = 800;
constexpr int32_t cLayoutHeight = 600;

struct TViewport {
    int32_t X, Y, W, H;
    float Left, Bottom, Right, Top;
};

extern float ViewLeft, ViewRight, ViewBottom, ViewTop, ViewWidth, ViewHeight, ViewHalfWidth, ViewHalfHeight;
extern float PixelSize, HalfPixel;
extern float PixelX[4096];
extern float PixelY[4096];
extern TViewport ScreenViewport;
extern float Indent40X, Indent40Y, Indent20X, Indent20Y;
extern int32_t ScreenWidth, ScreenHeight; // the layout size the geometry was made for (800 x 600)

// Computes HalfWidth/HalfHeight of the options and the geometry for an 800 x 600 layout.
void InitScreenGeometry();
// The same for any layout size (tests).
void InitScreenGeometryFor(int32_t width, int32_t height);

} // namespace velmora
