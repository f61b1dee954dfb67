// The board on screen: the cell geometry and the one-buffer chip/bonus/chain visual (TVisNet), the
// backing and frame tiles (TChipBack), the hover and selection rectangles (TActiveRects), the
// artefact with its slices (TArtMaster, TSlice) and the colour explosions of removed chips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/cells.h"
#include "engine/basic.h"
#include "render/partmaster.h"
#include "render/visual.h"

namespace velmora {

constexpr int32_t cCellPixels = 40;      // board cells are 40 x 40 pixels
constexpr int32_t cChipPixels = 40;      // chip, bonus and chain quads
constexpr int32_t cMaxVisEntries = 1024; // per list of TVisNet
constexpr int32_t cMaxBackTiles = 2048;
constexpr int32_t cMaxSlices = 128;

struct TWorldPoint {
    float X = 0, Y = 0;
};
struct TPixelPoint {
    int32_t X = 0, Y = 0;
};

// World position of the centre of cell (x, y) for a board whose cell (1, 1) has its top-left
// corner at pixel (left, top). Works for any cell, also far outside the screen.
TWorldPoint CellCentreAt(int32_t left, int32_t top, int32_t x, int32_t y);
// World units of a length in screen pixels.
float PixelsToWorld(float pixels);

struct TChipEntry {
    int32_t Picture = 0; // colour + 12 x variant
    float Opacity = 1;
    TWorldPoint Pos;
    uint32_t Color = 0xFFFFFFFF; // white with the opacity in the alpha byte
};
struct TBonusEntry {
    int32_t Code = 0;
    float Opacity = 1;
    TWorldPoint Pos;
    uint32_t Color = 0xFFFFFFFF;
};
struct TChainEntry {
    int32_t Locks = 0;
    TWorldPoint Pos;
};

// Chips, bonus items and chains of the board in one vertex buffer drawn with three calls.
class TVisNet : public TVisual {
  public:
    TVisNet(int32_t left, int32_t top); // publishes itself in VisNet
    ~TVisNet() override;
    const char* ClassName() const override { return "TVisNet"; }
    void FillVertices() override;
    void DrawPrimitives() override;

    void ClearLists();
    // A full list drops the entry (reported once per list).
    void AddChip(int32_t colour, int32_t locks, float opacity, int32_t variant, TWorldPoint pos);
    void AddBonus(TWorldPoint pos, int32_t code, float opacity);
    // Pixel to cell; -1 for a pixel left of / above cell (1, 1).
    void PointToCell(int32_t px, int32_t py, int32_t& x, int32_t& y) const;
    TWorldPoint Centre(int32_t x, int32_t y) const; // table for columns 1..32, rows -32..32
    TPixelPoint Pixel(int32_t x, int32_t y) const;  // top-left pixel of the cell

    int32_t Left = 0, Top = 0;
    std::vector<TChipEntry> Chips;
    std::vector<TBonusEntry> Bonuses;
    std::vector<TChainEntry> Chains;
    bool Dirty = false;
    TWorldPoint CellCentre[33][65]; // [X][Y + 32]
    TPixelPoint CellPixel[33][65];  // [X][Y + 32]

  private:
    bool ChipsFullReported = false, BonusesFullReported = false, ChainsFullReported = false;
};

extern TVisNet* VisNet;

// Tiles (1..19) of the backing at board position (x, y) (0..width + 1, 0..height + 1): a position
// beside the board may carry an edge tile for each board side and corner tiles. Returns the count.
int32_t BackTilesAt(const TCellGrid& cells, int32_t width, int32_t height, int32_t x, int32_t y,
                    int32_t (&tiles)[4]);

struct TBackTile {
    int32_t Tile = 0;
    int32_t X = 0, Y = 0;
};

// The board's backing and frame tiles, one colour for all; faded in and out by the game window.
class TChipBack : public TVisual {
  public:
    TChipBack(); // publishes itself in ChipBack
    ~TChipBack() override;
    const char* ClassName() const override { return "TChipBack"; }
    void FillVertices() override;
    void DrawPrimitives() override;

    // Chooses the tiles around the board of Net (cell geometry of VisNet) and uploads them.
    void Build();
    // The same for a given grid and geometry.
    void BuildFor(const TCellGrid& cells, int32_t width, int32_t height, const TVisNet& geometry);
    void SetColor(uint32_t c);

    std::vector<TBackTile> Tiles;
    uint32_t Color = 0xFFFFFFFF;

  private:
    TWorldPoint TileCentre[cMaxBackTiles];
};

extern TChipBack* ChipBack;

// The hover and selection rectangles over the board's chips.
class TActiveRects : public TMaster {
  public:
    TActiveRects(); // both hidden; publishes itself in ActiveRects
    ~TActiveRects() override;
    const char* ClassName() const override { return "TActiveRects"; }

    void ShowHover(int32_t x, int32_t y);
    void ShowSelect(int32_t x, int32_t y);
    void HideHover();
    void HideSelect();

    TTexRect* HoverRect = nullptr;
    TTexRect* SelectRect = nullptr;
    bool HoverShown = false, SelectShown = false;
    int32_t HoverX = 0, HoverY = 0, SelectX = 0, SelectY = 0;

  private:
    void PlaceOver(TTexRect* rect, int32_t x, int32_t y);
};

extern TActiveRects* ActiveRects;

// A slice of the artefact picture: placed in the art panel, or on the board (glowing, moved to its
// cell by the board every frame).
class TSlice : public TMaster {
  public:
    // Number only: no pictures (a board without artefact files).
    explicit TSlice(int32_t number);
    ~TSlice() override;
    const char* ClassName() const override { return "TSlice"; }
    void StepMe() override; // glow pulse of a board slice
    void Render() override; // nothing while hidden or before its drop-in shows it

    // Loaded from the slice folder; a missing file leaves that picture out (reported).
    static TSlice* CreatePlaced(int32_t number, const std::string& folder);
    static TSlice* CreateOnBoard(int32_t number, const std::string& folder);

    void MoveTo(float x, float y);
    void SetAlpha(float a);
    void Place(); // into the artefact at the art master's ArtLeft / ArtTop
    void SetVisible(bool shown);
    // Moves a placed slice to its spot in an artefact at pixel (artLeft, artTop).
    void PutInArt(int32_t artLeft, int32_t artTop);

    int32_t Number = 0;
    float Alpha = 1;
    float X = 0, Y = 0;
    int32_t ArtX = 0, ArtY = 0;
    TTexRect256* Picture = nullptr;
    TTexRect256* Glow1 = nullptr;
    TTexRect256* Glow2 = nullptr;
    float GlowPhase = 0;
    float VX = 0, VY = 0;
    bool Placed = false;
    bool Hidden = false; // blown away or hidden by the pause

  private:
    void LoadArtOffset(const std::string& folder);
};

// Paths and cutting of the artefact files.
std::string SliceFolder(const std::string& artFolder, int32_t number);
// "!Colors.txt": colours[number] = RRGGBB; count = data lines. False when the file is missing.
bool ReadMaskColorsFile(const std::string& path, uint32_t (&colours)[cMaxSlices + 1], int32_t& count);
// Makes the slice folder with "Coords.txt", "Slice.tga" and "Glow.tga" from "Body.tga" and
// "Mask.tga" of the art folder. A colour no mask pixel has, or a slice too large for its glow, is
// reported and nothing is made (false).
bool MakeSliceFolder(const std::string& artFolder, int32_t number, uint32_t colour,
                     const std::string& brushFile);

class TArtMaster : public TStater {
  public:
    // The artefact of the current player's country with the slices of the player's level.
    TArtMaster();
    // The artefact of a country after `wonLevel` was won: its slices and every earlier one in place
    // (the artefacts window).
    TArtMaster(int32_t country, int32_t wonLevel);
    ~TArtMaster() override;
    const char* ClassName() const override { return "TArtMaster"; }

    bool ReadMaskColors();
    // `levelWon`: the level's own slices are home too, none waits on a board.
    void LoadSlices(int32_t level, bool levelWon);
    // Creates board slices 1..count with no pictures (boards without artefact files).
    void SetSlices(int32_t count);
    TSlice* Slice(int32_t number) const;

    void SetPosition(float worldX, float worldY);
    void HideBoardSlices();
    void ShowBoardSlices();
    void StartShake() { SetState(2); } // angry chip bonus: shake, then burst

    uint32_t MaskColors[cMaxSlices + 1] = {};
    int32_t MaskColorCount = 0;
    int32_t ArtLeft = 20, ArtTop = 52;
    int32_t Country = 0;
    TTexRect256* Shadow = nullptr;
    int32_t SliceCount = 0;
    std::vector<TSlice*> Slices; // [0] unused
    int32_t SlicesLeft = 0;

  private:
    void Setup(int32_t level, bool levelWon);
    void OnShake(TStateEvent e);
    void OnBurst(TStateEvent e);
};

extern TArtMaster* ArtMaster;

// The particle master of the help windows: the game's one under a name of its own.
class TMyPartMaster : public TGamePartMaster {
  public:
    const char* ClassName() const override { return "TMyPartMaster"; }
};

// The colour explosion of a removed chip, at a world position.
void ExplodeColour(TGamePartMaster* master, int32_t colour, float x, float y);
// The spark of a broken chain: a one-shot trail emitted along the segment (world units).
void ChainSpark(TGamePartMaster* master, float x1, float y1, float x2, float y2);

} // namespace velmora
