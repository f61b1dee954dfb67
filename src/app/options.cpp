#include "app/options.h"

#include <cstdio>
#include <filesystem>

#include "app/textfile.h"
#include "platform/d3d8.h"
#include "platform/files.h"

namespace velmora {

TOptionsRec Options;
TDataPaths Paths;

float ViewLeft, ViewRight, ViewBottom, ViewTop, ViewWidth, ViewHeight, ViewHalfWidth, ViewHalfHeight;
float PixelSize, HalfPixel;
float PixelX[4096];
float PixelY[4096];
TViewport ScreenViewport;
float Indent40X, Indent40Y, Indent20X, Indent20Y;
int32_t ScreenWidth, ScreenHeight;

void InitDataPaths(const std::string& base) {
    Paths.Base = base;
    Paths.Textures = base + "\\Textures";
    Paths.Fonts = base + "\\Fonts";
    Paths.Levels = base + "\\Levels";
    Paths.Texts = base + "\\Texts";
    Paths.PlayerData = base + "\\PlayerData";
    Paths.GameDat = Paths.PlayerData + "\\Game.dat";
    Paths.Snd = base + "\\Sound\\Snd";
    Paths.Mus = base + "\\Sound\\Mus";
    Paths.OptionsFile = base + "\\Options.txt";
    Paths.ErrorLog = base + "\\" + "Error.log";
}

namespace {

void SetOptionsDefaults(TOptionsRec& rec) {
    rec.Windowed = true;
    rec.Width = 1024;
    rec.Height = 768;
    rec.Format = 0;
    rec.RefreshRate = 0;
    rec.WindowBorder = false;
    rec.VSync = true; // frames are paced to the display unless the file says otherwise
    rec.WaitGPU = false;
    rec.FrameLimit = -1;
}

void ApplyOptionsLine(TOptionsRec& rec, const TDataLine& line) {
    const std::string& k = line.Key;
    const std::string& v = line.Value;
    const int32_t n = ParseInt(v);
    if (k == "Preset") rec.Preset = n;
    else if (k == "Windowed") rec.Windowed = n == 1;
    else if (k == "Width") rec.Width = n;
    else if (k == "Height") rec.Height = n;
    else if (k == "Format") rec.Format = D3DFormatFromName(v);
    else if (k == "RefreshRate") rec.RefreshRate = n;
    else if (k == "WindowBorder") rec.WindowBorder = n != 0;
    else if (k == "VSync") rec.VSync = n != 0;
    else if (k == "SoundEnabled") rec.SoundEnabled = n != 0;
    else if (k == "WaitGPU") rec.WaitGPU = n != 0;
    else if (k == "AdvancedOpt") rec.AdvancedOpt = ParseBool(v);
    else if (k == "SpiralType") rec.SpiralType = n;
    else if (k == "SpiralCount") rec.SpiralCount = n;
    else if (k == "BlendMode") rec.BlendMode = n;
    else if (k == "Link_OtherGames") rec.Link_OtherGames = v;
    else if (k == "Link_LeftLogoClick") rec.Link_LeftLogoClick = v;
    else if (k == "Link_RightLogoClick") rec.Link_RightLogoClick = v;
    else if (k == "CONST_BonusLifeScore") rec.CONST_BonusLifeScore = n;
    else if (k == "CONST_BonusMoneyScores") rec.CONST_BonusMoneyScores = n;
    else if (k == "CONST_BlickX") rec.CONST_BlickX = n;
    else if (k == "CONST_BlickY") rec.CONST_BlickY = n;
    else if (k == "CONST_AngleCoeff") rec.CONST_AngleCoeff = ParseFloat(v);
    else if (k == "CONST_MenuRandSeed") rec.CONST_MenuRandSeed = n;
    else if (k == "Language") rec.Language = v;
    else if (k == "FrameLimit") rec.FrameLimit = n < 0 ? -1 : n;
}

} // namespace

bool ReadOptionsFrom(const std::string& path, TOptionsRec& rec) {
    std::vector<TDataLine> lines;
    if (!ReadDataFile(path, lines)) return false;
    SetOptionsDefaults(rec);
    for (const TDataLine& line : lines) ApplyOptionsLine(rec, line);
    return true;
}

bool ReadOptions() { return ReadOptionsFrom(ResolvePath(Paths.OptionsFile), Options); }

bool SaveOptionsTo(const std::string& path, const TOptionsRec& rec) {
    std::string text;
    auto line = [&text](const char* key, const std::string& value) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%-20s ", key);
        text += buf + value + "\n";
    };
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    line("Preset", std::to_string(rec.Preset));
    line("Windowed", b(rec.Windowed));
    line("Width", std::to_string(rec.Width));
    line("Height", std::to_string(rec.Height));
    line("Format", D3DFormatName(static_cast<D3DFORMAT>(rec.Format)));
    line("RefreshRate", std::to_string(rec.RefreshRate));
    line("WindowBorder", b(rec.WindowBorder));
    line("VSync", b(rec.VSync));
    line("SoundEnabled", b(rec.SoundEnabled));
    line("WaitGPU", b(rec.WaitGPU));
    line("AdvancedOpt", b(rec.AdvancedOpt));
    line("SpiralType", std::to_string(rec.SpiralType));
    line("SpiralCount", std::to_string(rec.SpiralCount));
    line("BlendMode", std::to_string(rec.BlendMode));
    if (!rec.Language.empty()) line("Language", rec.Language); // the game's own choice survives the dialog
    // Replaced in one step, so an interrupted save never leaves half a file.
    return WriteWholeFile(path, text.data(), text.size());
}

void SaveOptions() { SaveOptionsTo(ResolvePath(Paths.OptionsFile), Options); }

void InitScreenGeometryFor(int32_t width, int32_t height) {
    if (width < 1 || width > 4096) width = cLayoutWidth;
    if (height < 1 || height > 4096) height = cLayoutHeight;
    ScreenWidth = width;
    ScreenHeight = height;
    ViewLeft = -static_cast<float>(width) / height;
    ViewRight = static_cast<float>(width) / height;
    ViewBottom = -1.0f;
    ViewTop = 1.0f;
    ViewWidth = ViewRight - ViewLeft;
    ViewHeight = ViewTop - ViewBottom;
    ViewHalfWidth = ViewWidth / 2;
    ViewHalfHeight = ViewHeight / 2;
    PixelSize = ViewWidth / width;
    HalfPixel = PixelSize / 2;
    for (int i = 0; i < width; ++i) PixelX[i] = i * PixelSize - ViewRight + HalfPixel;
    for (int j = 0; j < height; ++j) PixelY[j] = -j * PixelSize + ViewTop + HalfPixel;
    ScreenViewport = {0, 0, width, height, ViewLeft, ViewBottom, ViewRight, ViewTop};
    Indent40X = Indent40Y = 40 * PixelSize;
    Indent20X = Indent20Y = 20 * PixelSize;
}

void InitScreenGeometry() {
    Options.HalfWidth = Options.Width / 2;
    Options.HalfHeight = Options.Height / 2;
    InitScreenGeometryFor(cLayoutWidth, cLayoutHeight);
}

} // namespace velmora
