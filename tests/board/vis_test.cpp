// The board visual on the recording device: cell geometry and pointer lookup, the chip, bonus and
// chain quads with their three draws, the backing tiles around any board shape, and the hover and
// selection rectangles.
#include "vis_fixture.h"

namespace velmora::boardtest {
namespace {

using Tiles = std::vector<int32_t>;

Tiles TilesAt(const TNet& n, int32_t x, int32_t y) {
    int32_t found[4];
    const int32_t count = BackTilesAt(n.Cells, n.Info.Width, n.Info.Height, x, y, found);
    return Tiles(found, found + count);
}

TEST_F(VisTest, PointToCellEdgesAndCellGeometry) {
    TVisNet v(148, 93);
    int32_t x = 0, y = 0;
    v.PointToCell(147, 93, x, y);
    EXPECT_EQ(x, -1) << "one pixel left of cell (1, 1)";
    EXPECT_EQ(y, 1);
    v.PointToCell(148, 92, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, -1) << "one pixel above cell (1, 1)";
    v.PointToCell(148 + 40, 93 + 39, x, y);
    EXPECT_EQ(x, 2) << "Left + 40 belongs to column 2";
    EXPECT_EQ(y, 1);
    v.PointToCell(148 + 39, 93 + 40, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);

    EXPECT_EQ(v.Pixel(1, 1).X, 148);
    EXPECT_EQ(v.Pixel(3, -32).Y, 93 - 33 * 40) << "rows above the board exist for drop-ins";
    EXPECT_FLOAT_EQ(v.Centre(1, 1).X, TableX(168));
    EXPECT_FLOAT_EQ(v.Centre(1, 1).Y, TableY(113));
    EXPECT_NEAR(v.Centre(2, 1).X - v.Centre(1, 1).X, Pixels(40), 1e-6);
    EXPECT_NEAR(v.Centre(5, 0).Y - v.Centre(5, -32).Y, -Pixels(40 * 32), 1e-5);
    EXPECT_EQ(VisNet, &v);
}

TEST_F(VisTest, DoubleChainedChipIsAChipQuadPlusChainPictureTwo) {
    TNet& n = Laid({"1X 2 3", "4 b7 5"});
    n.UpdateCellVisuals();
    ASSERT_EQ(VisNet->Chips.size(), 5u);
    ASSERT_EQ(VisNet->Bonuses.size(), 1u);
    ASSERT_EQ(VisNet->Chains.size(), 1u) << "one chain quad, not one per lock";
    EXPECT_EQ(VisNet->Chains[0].Locks, 2);

    Rec->ClearCalls();
    VisNet->Render();
    const auto* v = VisNet->VerticesAs<TVertexDiffuseTex>();
    // Chip quads first, then the bonus, then the chain, each two triangles.
    const TVertexDiffuseTex& chipCorner = v[0];
    EXPECT_FLOAT_EQ(chipCorner.U, ChipsUV[0].Left) << "colour 1 uses chip entry 0";
    EXPECT_FLOAT_EQ(chipCorner.X, n.CellCentre(1, 1).X - Pixels(20));
    EXPECT_FLOAT_EQ(chipCorner.Y, n.CellCentre(1, 1).Y + Pixels(20));
    EXPECT_EQ(chipCorner.Color, 0xFFFFFFFFu);
    const TVertexDiffuseTex& bonusCorner = v[6 * 5];
    EXPECT_FLOAT_EQ(bonusCorner.U, BonusesUV[6].Left) << "bonus code 7 uses entry 6";
    const TVertexDiffuseTex& chainCorner = v[6 * 6];
    EXPECT_FLOAT_EQ(chainCorner.U, BonusesUV[25].Left) << "the second chain picture";
    EXPECT_EQ(chainCorner.Color, 0xCCFFFFFFu);
    EXPECT_FLOAT_EQ(chainCorner.X, chipCorner.X);

    const auto draws = Rec->CallsNamed("DrawPrimitive");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].Args, (std::vector<int64_t>{D3DPT_TRIANGLELIST, 0, 10}));
    EXPECT_EQ(draws[1].Args, (std::vector<int64_t>{D3DPT_TRIANGLELIST, 30, 2}));
    EXPECT_EQ(draws[2].Args, (std::vector<int64_t>{D3DPT_TRIANGLELIST, 36, 2}));
    EXPECT_FALSE(VisNet->Dirty);

    Rec->ClearCalls();
    VisNet->Render();
    EXPECT_EQ(Rec->CountOf("Lock"), 0) << "an unchanged board is not uploaded again";
}

TEST_F(VisTest, ChipOpacityGoesIntoTheAlphaByte) {
    TVisNet v(100, 100);
    v.AddChip(3, 0, 0.5f, 1, {0, 0});
    v.AddBonus({0, 0}, 4, 0);
    ASSERT_EQ(v.Chips.size(), 1u);
    EXPECT_EQ(v.Chips[0].Picture, 15) << "colour 3 in variant 1";
    EXPECT_EQ(v.Chips[0].Color, 0x80FFFFFFu);
    EXPECT_EQ(v.Bonuses[0].Color, 0x00FFFFFFu);
    EXPECT_TRUE(v.Chains.empty());
}

TEST_F(VisTest, FullListsDropEntriesAndSayItOnce) {
    TVisNet v(100, 100);
    for (int i = 0; i < cMaxVisEntries + 5; ++i)
        v.AddChip(1, 1, 1, 0, {0, 0});
    EXPECT_EQ(v.Chips.size(), static_cast<size_t>(cMaxVisEntries));
    EXPECT_EQ(v.Chains.size(), static_cast<size_t>(cMaxVisEntries));
    const std::string log = ReadLog();
    const size_t first = log.find("TVisNet.AddChip: chip list full");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("TVisNet.AddChip: chip list full", first + 1), std::string::npos) << "said once";
}

TEST_F(VisTest, BackingTilesOfHolesEdgesAndCorners) {
    TNet& n = Laid({"1 2 3", "4 - 5", "1 2 3"});
    EXPECT_EQ(TilesAt(n, 2, 2), Tiles{1}) << "a one-cell hole";
    EXPECT_EQ(TilesAt(n, 4, 2), Tiles{13}) << "right of the board: board on its left";
    EXPECT_EQ(TilesAt(n, 0, 2), Tiles{11});
    EXPECT_EQ(TilesAt(n, 2, 0), Tiles{12});
    EXPECT_EQ(TilesAt(n, 2, 4), Tiles{10});
    EXPECT_EQ(TilesAt(n, 0, 0), Tiles{15}) << "only the down-right diagonal is board";
    EXPECT_EQ(TilesAt(n, 4, 4), Tiles{17});
    EXPECT_EQ(TilesAt(n, 1, 1), Tiles{18});
    EXPECT_EQ(TilesAt(n, 5, 5), Tiles{}) << "far from the board";
}

TEST_F(VisTest, BackingTilesOfAnIrregularBoard) {
    // 1 w - 1
    // 1 1 - -
    // - 1 1 1
    TNet& n = Laid({"1 w - 1", "1 1 - -", "- 1 1 1"});
    EXPECT_EQ(TilesAt(n, 2, 1), Tiles{19}) << "a blank cell";
    EXPECT_EQ(TilesAt(n, 3, 1), (Tiles{11, 13})) << "a one-wide gap: an edge for each side";
    EXPECT_EQ(TilesAt(n, 3, 2), Tiles{9}) << "board below and left";
    EXPECT_EQ(TilesAt(n, 4, 2), (Tiles{10, 12})) << "board above and below: one edge each";
    EXPECT_EQ(TilesAt(n, 1, 3), Tiles{6});
    EXPECT_EQ(TilesAt(n, 5, 1), Tiles{13});
    EXPECT_EQ(TilesAt(n, 0, 4), Tiles{}) << "no board side or corner touches it";
    EXPECT_EQ(TilesAt(n, 1, 4), Tiles{14}) << "only the up-right diagonal is board";

    TChipBack back;
    back.Build();
    int32_t boardTiles = 0;
    for (const TBackTile& t : back.Tiles)
        boardTiles += t.Tile >= 18;
    EXPECT_EQ(boardTiles, 8) << "every cell that is not a hole";
    ASSERT_FALSE(back.Tiles.empty());
    EXPECT_EQ(back.Tiles[0].X, 0) << "rows from 0, columns from 0";
    EXPECT_EQ(back.Tiles[0].Y, 0);
    EXPECT_EQ(back.PrimitiveCount, 2 * static_cast<int32_t>(back.Tiles.size()));
}

TEST_F(VisTest, BackingQuadsSitOnePixelLowAndSwitchBlockWithTheirAlpha) {
    TNet& n = Laid({"1 2", "3 4"});
    TChipBack back;
    back.Build();
    ASSERT_EQ(back.Tiles.size(), 4u + 8u + 4u);
    size_t at = 0;
    while (back.Tiles[at].X != 1 || back.Tiles[at].Y != 1)
        ++at;
    EXPECT_EQ(back.Tiles[at].Tile, 18);
    const auto* v = back.VerticesAs<TVertexDiffuseTex>() + 6 * at;
    EXPECT_FLOAT_EQ(v[0].X, n.CellCentre(1, 1).X - Pixels(20));
    EXPECT_NEAR(v[0].Y, n.CellCentre(1, 1).Y + Pixels(20) - Pixels(1), 1e-6);
    EXPECT_FLOAT_EQ(v[0].U, FieldsUV[17].Left);

    Rec->ClearCalls();
    back.SetColor(0xFFFFFFFFu);
    EXPECT_EQ(Rec->CountOf("Lock"), 0) << "the same colour does nothing";
    back.SetColor(0x80FFFFFFu);
    EXPECT_EQ(Rec->CountOf("Lock"), 1);
    EXPECT_EQ(back.Block1, sbTexModAlpha);
    EXPECT_EQ(back.VerticesAs<TVertexDiffuseTex>()[7].Color, 0x80FFFFFFu);
    back.SetColor(0xFFFFFFFFu);
    EXPECT_EQ(back.Block1, sbTexAlpha) << "opaque again";

    Rec->ClearCalls();
    back.Render();
    const auto draws = Rec->CallsNamed("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].Args[2], 32) << "two triangles per tile in one draw";
}

TEST_F(VisTest, HoverAndSelectionRectanglesCoverTheChipSquare) {
    TNet& n = Laid({"1 2 3", "4 5 6"});
    ActSelUV[0] = {0, 0, 0.5f, 0.5f};
    ActSelUV[1] = {0.5f, 0, 1, 0.5f};
    TActiveRects rects;
    EXPECT_FALSE(rects.HoverRect->Visible);
    EXPECT_FALSE(rects.SelectRect->Visible);
    rects.ShowHover(2, 1);
    ASSERT_TRUE(rects.HoverRect->Visible);
    const TVertexDiffuseTex* q = rects.HoverRect->Quad();
    EXPECT_FLOAT_EQ(q[0].X, n.CellCentre(2, 1).X - Pixels(20));
    EXPECT_NEAR(q[0].Y, n.CellCentre(2, 1).Y + Pixels(19), 1e-6) << "one pixel lower";
    EXPECT_NEAR(q[3].Y, n.CellCentre(2, 1).Y - Pixels(21), 1e-6);
    EXPECT_FLOAT_EQ(q[0].U, 0);
    rects.ShowSelect(3, 2);
    EXPECT_FLOAT_EQ(rects.SelectRect->Quad()[0].U, 0.5f) << "the second picture";
    rects.HideHover();
    EXPECT_FALSE(rects.HoverRect->Visible);
    EXPECT_TRUE(rects.SelectRect->Visible);
}

} // namespace
} // namespace velmora::boardtest
