// The artefact of a country: its shadow, the slice objects (placed or on the board), the files that
// describe the slices, and the shake and burst of the angry chip bonus.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "board/playerlink.h"
#include "engine/group.h"
#include "engine/random.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/tga.h"

namespace velmora {

TArtMaster* ArtMaster = nullptr;

namespace {

// Art folders are relative to the base folder.
std::string InBase(const std::string& rel) {
    return Paths.Base.empty() ? rel : Paths.Base + "\\" + rel;
}

uint32_t Argb(float a, float r, float g, float b) {
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

bool ParseHexColour(const std::string& text, uint32_t& colour) {
    if (text.empty() || text.size() > 6) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), colour, 16);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool ReadCoords(const std::string& path, TImageRect& box) {
    std::vector<std::string> lines;
    if (!ReadTextLines(ResolvePath(path), lines) || lines.empty()) return false;
    int32_t v[4] = {};
    const char* p = lines[0].data();
    const char* end = p + lines[0].size();
    for (int32_t& n : v) {
        while (p < end && *p == ' ')
            ++p;
        const auto r = std::from_chars(p, end, n);
        if (r.ec != std::errc()) return false;
        p = r.ptr;
    }
    box = {v[0], v[1], v[2], v[3]};
    return true;
}

// Pictures are handled top row first. Body.tga, or Split over Norm when the resource creator has not made it
// yet.
bool LoadBody(const std::string& artFolder, TTgaImage& body) {
    if (FileExists(artFolder + "\\Body.tga")) return LoadTgaImage(artFolder + "\\Body.tga", body, 1);
    TTgaImage split;
    if (!LoadTgaImage(artFolder + "\\Norm.tga", body, 1) ||
        !LoadTgaImage(artFolder + "\\Split.tga", split, 1))
        return false;
    ComposeTga(split, body, 0, 0);
    return true;
}

} // namespace

std::string SliceFolder(const std::string& artFolder, int32_t number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.3d", number);
    return artFolder + "\\" + digits;
}

bool ReadMaskColorsFile(const std::string& path, uint32_t (&colours)[cMaxSlices + 1], int32_t& count) {
    std::vector<std::string> raw;
    count = 0;
    if (!FileExists(path) || !ReadTextLines(ResolvePath(path), raw)) return false;
    // One line per slice: a longer list is not this game's.
    CapDataLines(raw, cMaxSlices, "TArtMaster.ReadMaskColors", path);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (IsCommentLine(raw[i])) continue;
        const TDataLine line = SplitDataLine(raw[i], static_cast<int>(i + 1));
        ++count;
        const int32_t number = ParseInt(line.Key);
        uint32_t colour = 0;
        if (number < 1 || number > cMaxSlices || !ParseHexColour(line.Value, colour)) {
            Log("TArtMaster.ReadMaskColors: bad line " + std::to_string(line.LineNo) + " in '" + path + "'");
            continue;
        }
        colours[number] = colour;
    }
    return true;
}

bool MakeSliceFolder(const std::string& artFolder, int32_t number, uint32_t colour,
                     const std::string& brushFile) {
    const std::string where =
        "TArtMaster.LoadSlices: slice " + std::to_string(number) + " of '" + artFolder + "'";
    TTgaImage body, mask;
    if (!LoadBody(artFolder, body) || !LoadTgaImage(artFolder + "\\Mask.tga", mask, 1)) {
        Log(where + ": the artefact pictures cannot be read");
        return false;
    }
    if (body.Width() != mask.Width() || body.Height() != mask.Height()) {
        Log(where + ": Body.tga and Mask.tga differ in size");
        return false;
    }
    TImageRect box;
    if (!ColorBounds(mask, colour, box)) {
        Log(where + ": no mask pixel has the colour " + std::to_string(colour) + "; the slice is skipped");
        return false;
    }
    TTgaImage slice, brush, glow;
    if (!ExtractColorImage(body, mask, box, colour, slice) || !LoadTgaImage(brushFile, brush, 1) ||
        !MakeGlowWithBrush(slice, brush, glow)) {
        Log(where + ": the slice or its glow cannot be made (too large for its glow?); the slice is skipped");
        return false;
    }
    // The folder appears only with all three files, so a failed cut is tried again next time.
    const std::string folder = SliceFolder(artFolder, number);
    const std::string coords = std::to_string(box.Left) + " " + std::to_string(box.Top) + " " +
                               std::to_string(box.Right) + " " + std::to_string(box.Bottom) + "\r\n";
    if (!CreateDirectory(folder) || !WriteWholeFile(folder + "\\Coords.txt", coords.data(), coords.size()) ||
        !SaveTgaImage(folder + "\\Slice.tga", slice, 1) || !SaveTgaImage(folder + "\\Glow.tga", glow, 1)) {
        Log(where + ": the slice folder cannot be written");
        return false;
    }
    return true;
}

// ---- TSlice -------------------------------------------------------------------------------------

TSlice::TSlice(int32_t number) : Number(number) {}

TSlice::~TSlice() = default;

void TSlice::LoadArtOffset(const std::string& folder) {
    TImageRect box;
    if (!ReadCoords(folder + "\\Coords.txt", box)) {
        Log("TSlice.Create: file '" + folder + "\\Coords.txt' is missing or malformed");
        return;
    }
    const int32_t w = Picture ? Picture->ImageWidth : 0, h = Picture ? Picture->ImageHeight : 0;
    ArtX = box.Left + w / 2;
    ArtY = box.Top + h / 2;
}

TSlice* TSlice::CreatePlaced(int32_t number, const std::string& folder) {
    auto* s = new TSlice(number);
    s->Picture = s->Add(new TTexRect256(0, 0, folder + "\\Slice.tga", true, 256));
    s->Picture->Block1 = sbTexModAlpha;
    s->LoadArtOffset(folder);
    s->Alpha = 0; // so that SetAlpha(1) colours the picture
    s->SetAlpha(1);
    return s;
}

TSlice* TSlice::CreateOnBoard(int32_t number, const std::string& folder) {
    auto* s = new TSlice(number);
    s->Glow1 = s->Add(new TTexRect256(0, 0, folder + "\\Glow.tga", true, 256));
    s->Glow1->Block1 = sbDiffuseModAlpha;
    s->Picture = s->Add(new TTexRect256(0, 0, folder + "\\Slice.tga", true, 256));
    s->Picture->Block1 = sbTexAddDiffuse;
    s->Glow2 = s->Add(new TTexRect256(0, 0, folder + "\\Glow.tga", true, 256));
    s->Glow2->Block1 = sbDiffuseModAlpha;
    s->LoadArtOffset(folder);
    s->GlowPhase = 1000 * Random();
    s->Alpha = 0;
    s->SetAlpha(1);
    return s;
}

void TSlice::MoveTo(float x, float y) {
    X = x;
    Y = y;
    if (Picture) {
        Picture->X = x;
        Picture->Y = y;
    }
    for (TTexRect256* glow : {Glow1, Glow2})
        if (glow && glow->Visible) {
            glow->X = x;
            glow->Y = y;
        }
}

void TSlice::SetAlpha(float a) {
    if (a == Alpha) return;
    Alpha = a;
    if (Picture) Picture->SetColor(Argb(a, 1, 1, 1));
}

void TSlice::SetVisible(bool shown) {
    Visible = shown;
}

void TSlice::Render() {
    // A board slice waiting for its drop-in, or blown away by a row blast, is not drawn.
    if (Hidden || (!Placed && Alpha <= 0)) return;
    TMaster::Render();
}

void TSlice::StepMe() {
    if (!Glow1 || !Glow1->Visible) return;
    const float g = std::sin(0.03f * GameTime);
    const float a1 = (g + 1) * 0.25f + 0.5f, a2 = (g + 1) * 0.25f + 0.2f;
    Glow1->SetColor(Argb(a1 * Alpha, 0, 0x80 / 255.0f, 1));
    if (Glow2) Glow2->SetColor(Argb(a2 * Alpha, 1, 0x90 / 255.0f, 1));
    if (Picture) Picture->SetColor(Argb(1, 0.5f * a1 * Alpha, 0.5f * a1 * Alpha, 0.5f));
}

void TSlice::PutInArt(int32_t artLeft, int32_t artTop) {
    float x = TableX(artLeft + ArtX), y = TableY(artTop + ArtY);
    if (Picture && Picture->ImageWidth % 2) x += HalfPixel;
    if (Picture && Picture->ImageHeight % 2) y -= HalfPixel;
    MoveTo(x, y);
}

void TSlice::Place() {
    if (Placed) return;
    Placed = true;
    auto* art = dynamic_cast<TArtMaster*>(Parent);
    if (art) PutInArt(art->ArtLeft, art->ArtTop);
    for (TTexRect256** glow : {&Glow1, &Glow2})
        if (*glow) {
            (*glow)->Visible = false;
            (*glow)->Dead = true;
            *glow = nullptr;
        }
    if (Picture) {
        Picture->Block1 = sbTexAlpha;
        Picture->SetColor(Argb(Alpha, 1, 1, 1));
    }
    Hidden = false;
    Visible = true;
    if (art) art->SlicesLeft -= 1;
}

// ---- TArtMaster ---------------------------------------------------------------------------------

TArtMaster::TArtMaster() {
    int32_t country = 0, inCountry = 0;
    LevelToCountry(BoardPlayerLevel(), country, inCountry);
    Country = country;
    Setup(BoardPlayerLevel(), false);
}

TArtMaster::TArtMaster(int32_t country, int32_t wonLevel) : Country(country) {
    Setup(wonLevel, true);
}

TArtMaster::~TArtMaster() {
    if (ArtMaster == this) ArtMaster = nullptr;
}

void TArtMaster::Setup(int32_t level, bool levelWon) {
    ArtMaster = this;
    Slices.assign(1, nullptr);
    const std::string shad = InBase(CountryArtFile(Country, "Shad"));
    if (FileExists(shad)) {
        Shadow = Add(new TTexRect256(ArtLeft + 1, ArtTop - 1, shad, false, 256));
        Shadow->Block1 = sbTexModAlpha;
    } else {
        Log("TArtMaster.Create: file '" + shad + "' doesn't exists");
    }
    LoadSlices(level, levelWon);
    SetStateInfo(
        1, [](TStateEvent) {}, cInfinitePeriod);
    SetStateInfo(2, &TArtMaster::OnShake, 180);
    SetStateInfo(3, &TArtMaster::OnBurst, 330);
    SetState(1);
}

bool TArtMaster::ReadMaskColors() {
    const std::string path = InBase(CountryArtFolder(Country) + "\\!Colors.txt");
    std::fill(std::begin(MaskColors), std::end(MaskColors), 0u);
    if (ReadMaskColorsFile(path, MaskColors, MaskColorCount)) return true;
    Report("TArtMaster.ReadMaskColors: file '" + path + "' doesn't exists");
    return false;
}

void TArtMaster::LoadSlices(int32_t level, bool levelWon) {
    const bool colours = ReadMaskColors();
    TLevelInfo info;
    TCellGrid cells{};
    int32_t low = INT_MAX, high = INT_MIN;
    if (ReadLevelFileOf(level, info, cells, false))
        for (int32_t x = 1; x <= info.Width; ++x)
            for (int32_t y = 1; y <= info.Height; ++y)
                if (cells.At(x, y).Kind == ckSlice) {
                    low = std::min(low, cells.At(x, y).Value);
                    high = std::max(high, cells.At(x, y).Value);
                }
    if (high > cMaxSlices) {
        Log("TArtMaster.LoadSlices: slice " + std::to_string(high) + " is beyond " +
            std::to_string(cMaxSlices));
        high = cMaxSlices;
    }
    SliceCount = high;
    SlicesLeft = high;
    const std::string artFolder = InBase(CountryArtFolder(Country));
    const std::string brush = Paths.Textures + "\\BlurPen.tga";
    const bool resumed = BoardLevelInProgress();
    for (int32_t i = 1; i <= SliceCount; ++i) {
        const std::string folder = SliceFolder(artFolder, i);
        if (!DirectoryExists(folder) && colours && MaskColors[i] != 0)
            MakeSliceFolder(artFolder, i, MaskColors[i], brush);
        const bool home = resumed && CurrentPlayerRec().SliceDone[i - 1];
        const bool onBoard = i >= low && !home && !levelWon;
        // A slice that could not be made is kept without pictures: the board still needs it.
        const bool made = DirectoryExists(folder);
        TSlice* s = !made     ? new TSlice(i)
                    : onBoard ? TSlice::CreateOnBoard(i, folder)
                              : TSlice::CreatePlaced(i, folder);
        Slices.push_back(Add(s));
        if (!onBoard) s->Place();
    }
}

void TArtMaster::SetSlices(int32_t count) {
    for (size_t i = 1; i < Slices.size(); ++i)
        if (Slices[i]) Remove(Slices[i], false);
    Slices.assign(1, nullptr);
    count = std::clamp(count, 0, cMaxSlices);
    for (int32_t i = 1; i <= count; ++i)
        Slices.push_back(Add(new TSlice(i)));
    SliceCount = count;
    SlicesLeft = count;
}

TSlice* TArtMaster::Slice(int32_t number) const {
    return number >= 1 && number < static_cast<int32_t>(Slices.size()) ? Slices[static_cast<size_t>(number)]
                                                                       : nullptr;
}

void TArtMaster::SetPosition(float worldX, float worldY) {
    ArtLeft = WorldToPixelX(worldX) - 371;
    ArtTop = WorldToPixelY(worldY) - 141;
    // The silhouette keeps its place under the slices, as in the game's art panel.
    if (Shadow) {
        Shadow->SetLeft(TableX(ArtLeft + 1));
        Shadow->SetTop(TableY(ArtTop - 1));
    }
    for (TSlice* s : Slices)
        if (s && s->Placed) s->PutInArt(ArtLeft, ArtTop);
}

void TArtMaster::HideBoardSlices() {
    for (TSlice* s : Slices)
        if (s && !s->Placed) s->SetVisible(false);
}

void TArtMaster::ShowBoardSlices() {
    for (TSlice* s : Slices)
        if (s && !s->Placed) s->SetVisible(true);
}

void TArtMaster::OnShake(TStateEvent e) {
    switch (e) {
    case seStart:
        if (RootGroup) {
            RootGroup->CameraShake = true;
            RootGroup->ShakeAmplitude = 0;
        }
        break;
    case seRunning:
        if (RootGroup) RootGroup->ShakeAmplitude = 1 - StateTime;
        for (TSlice* s : Slices)
            if (s && s->Placed)
                s->MoveTo(s->X + PixelsToWorld(Random() * 2 - 1), s->Y + PixelsToWorld(Random() * 2 - 1));
        break;
    case seFinish:
        if (RootGroup) RootGroup->CameraShake = false;
        SetState(3);
        break;
    }
}

void TArtMaster::OnBurst(TStateEvent e) {
    switch (e) {
    case seStart: {
        const float cx = TableX(148), cy = TableY(180);
        for (TSlice* s : Slices) {
            if (!s) continue;
            const float dx = s->X - cx, dy = s->Y - cy, len = std::hypot(dx, dy);
            s->VX = len > 0 ? dx / len * 0.01f : 0;
            s->VY = (len > 0 ? dy / len * 0.01f : 0) + Random() * 0.005f;
        }
        break;
    }
    case seRunning:
        for (TSlice* s : Slices)
            if (s && s->Placed) {
                s->MoveTo(s->X + s->VX * Delta, s->Y + s->VY * Delta);
                s->VY -= 0.0003f * DeltaSq;
            }
        break;
    case seFinish:
        if (BoardGame) BoardGame->LevelWon();
        SetState(1);
        break;
    }
}

} // namespace velmora
