#include "render_fixture.h"
#include "render/multirect.h"

namespace velmora::testing {
namespace {

class MultiRects : public TRenderATest {};

TEST_F(MultiRects, DescriptionGivesPiecesWithAtlasAndScreenRectangles) {
    const std::string path = WriteText("c.dscr", "5 5 5 5 5 5\n"
                                                 "[Body]\n"
                                                 "2 3 4 5 0 0\n"
                                                 "; comment\n"
                                                 "[Head]\n"
                                                 "// another\n"
                                                 "256 128\n"
                                                 "[Other]\n"
                                                 "[Body]\n"
                                                 "\n"
                                                 "64 32 16 8 100 200\r\n");
    TTexMultiRect m(3, path);
    ASSERT_EQ(m.RectCount, 2);
    // Read before any head line: an atlas of 1 x 1.
    EXPECT_FLOAT_EQ(m.Pieces[1].UV.Left, 2);
    EXPECT_FLOAT_EQ(m.Pieces[1].UV.Bottom, 8);
    EXPECT_FLOAT_EQ(m.Pieces[2].UV.Left, 0.25f);
    EXPECT_FLOAT_EQ(m.Pieces[2].UV.Right, 80.0f / 256);
    EXPECT_FLOAT_EQ(m.Pieces[2].UV.Bottom, 40.0f / 128);
    EXPECT_FLOAT_EQ(m.Pieces[2].World.Left, PixelX[100]);
    EXPECT_FLOAT_EQ(m.Pieces[2].World.Right, PixelX[116]);
    EXPECT_FLOAT_EQ(m.Pieces[2].World.Bottom, PixelY[208]);
    EXPECT_EQ(m.AtlasRects[2][2], 16);
    EXPECT_EQ(m.Block1, sbTexture);
    EXPECT_EQ(m.Color, 0xFFFFFFFFu);
    EXPECT_EQ(m.VertexCount, 18);
}

TEST_F(MultiRects, HiddenSlotsAreSkippedAndVisibleOnesPacked) {
    const std::string path = WriteText("s.dscr", "[Head]\n100 100\n[Body]\n0 0 10 10 0 0\n10 0 10 10 50 0\n"
                                                 "20 0 10 10 100 0\n");
    TTexMultiRect m(3, path);
    m.SetSlot(1, 1);
    m.SetSlot(2, 2);
    m.SetSlot(3, 3);
    EXPECT_EQ(m.LastPiece, 3);
    m.SlotVisible[2] = false;
    m.RestoreDeviceObjects();
    m.FillVertices();
    EXPECT_EQ(m.DrawnCount, 2);
    auto* v = m.VerticesAs<TVertexDiffuseTex>();
    EXPECT_FLOAT_EQ(v[6].X, PixelX[100]); // slot 3 right after slot 1
    EXPECT_FLOAT_EQ(v[6].U, 0.2f);
    Rec->ClearCalls();
    m.Render();
    ASSERT_EQ(Rec->CountOf("DrawPrimitive"), 1);
    EXPECT_EQ(Rec->CallsNamed("DrawPrimitive")[0].Args[2], 4);

    // A slot beyond the slot count changes nothing that is drawn.
    const auto before = m.Vertices;
    m.SetSlot(5, 2);
    m.FillVertices();
    EXPECT_EQ(m.Vertices, before);
    EXPECT_EQ(m.DrawnCount, 2);
}

TEST_F(MultiRects, MissingAndOverlongDescriptionsAreReported) {
    TTexMultiRect none(2, PathOf("gone.dscr"));
    EXPECT_EQ(none.RectCount, 0);
    EXPECT_TRUE(none.ReadDscr(PathOf("gone.dscr")) == false);
    EXPECT_TRUE(Logged("TTexMultiRect.ReadDscr: File not exists \"" + PathOf("gone.dscr") + "\""));

    std::string text = "[Body]\n";
    for (int i = 0; i < 130; ++i)
        text += std::to_string(i) + " 0 1 1 0 0\n";
    TTexMultiRect many(1, WriteText("m.dscr", text));
    EXPECT_EQ(many.RectCount, MaxTexMultiRectRects);
    EXPECT_EQ(many.AtlasRects[128][0], 127);
    EXPECT_TRUE(Logged("TTexMultiRect.ReadDscr: HidRectCount>MaxTexMultiRectRects"));

    // Malformed numbers read as far as they go, without a message.
    TTexMultiRect odd(1, WriteText("o.dscr", "[Body]\n12abc x 3\n"));
    EXPECT_EQ(odd.RectCount, 1);
    EXPECT_EQ(odd.AtlasRects[1][0], 12);
    EXPECT_EQ(odd.AtlasRects[1][1], 0);
    EXPECT_EQ(odd.AtlasRects[1][3], 0);
}

} // namespace
} // namespace velmora::testing
