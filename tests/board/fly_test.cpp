// Chip animations: swap and refused-swap flights, the fall easing and the fade of new chips, the
// start-of-level drop-in, the dragged chip, the bonus pictures and the glares' ending rules.
#include <cmath>

#include "vis_fixture.h"

namespace velmora::boardtest {
namespace {

class FlyTest : public VisTest {
  protected:
    template <class T> T* Own(T* fly) { return Board->Add(fly); }
    // Fraction of the way from a to b that v lies.
    static float Along(float a, float b, float v) { return (v - a) / (b - a); }
};

TEST_F(FlyTest, FallWaitsAQuarterThenAcceleratesAndLandsExactly) {
    TNet& n = Laid({"1 2", "3 4", "5 6", "1 2"});
    auto* f = Own(new TFallChip(2, 1, 2, 4));
    EXPECT_FALSE(f->IsNew);
    n.AState = asFall;
    const float from = n.CellCentre(2, 1).Y, to = n.CellCentre(2, 4).Y;
    const float times[] = {1.0f, 0.75f, 0.5f, 0.375f, 0.1875f, 0.0f};
    std::vector<float> way;
    for (float t : times) {
        n.AStateTime = t;
        f->Step();
        way.push_back(Along(from, to, f->PosY));
        EXPECT_FLOAT_EQ(f->PosX, n.CellCentre(2, 1).X);
    }
    EXPECT_FLOAT_EQ(way[0], 0) << "waits at its source";
    EXPECT_FLOAT_EQ(way[1], 0) << "for the first quarter";
    EXPECT_NEAR(way[3], 1 - std::sin(0.75 * M_PI), 1e-5) << "half the fall time: 29 % of the way";
    EXPECT_GT(way[4] - way[3], way[3] - way[2]) << "speeds up";
    EXPECT_EQ(f->PosY, to) << "lands on the cell";

    n.AState = asIdle;
    n.Cells.At(2, 4).Fly = static_cast<uint32_t>(f->Serial);
    f->Step();
    EXPECT_TRUE(f->Dead);
    EXPECT_EQ(n.Cells.At(2, 4).Fly, 0u) << "ends and clears its cell's reference";
}

TEST_F(FlyTest, NewChipsFromAboveFadeInWhileChipsInsideDoNot) {
    TNet& n = Laid({"1", "2", "3", "3", "3", "4"});
    EXPECT_TRUE(TFallChip(1, 0, 1, 1).IsNew);
    n.ResolveMatches();
    ASSERT_EQ(n.AState, asFall);
    n.AStateTime = 0.5f;
    n.UpdateCellVisuals();
    int fading = 0, solid = 0;
    for (const TChipEntry& c : VisNet->Chips)
        (c.Opacity < 1 ? fading : solid) += 1;
    EXPECT_EQ(fading, 3) << "three new chips";
    EXPECT_EQ(solid, 3) << "two fallen chips and the one at the bottom";
    for (const TChipEntry& c : VisNet->Chips)
        if (c.Opacity < 1) {
            EXPECT_FLOAT_EQ(c.Opacity, 0.5f);
        }
}

TEST_F(FlyTest, DropInOfAFiveContentColumn) {
    TNet& n = MakeBoard(2, 5);
    Delta = 1;
    n.StartLevel();
    for (int32_t row = 1; row <= 5; ++row) {
        auto* s = dynamic_cast<TStartChip*>(n.FlyAt(1, row));
        ASSERT_NE(s, nullptr) << "row " << row;
        EXPECT_FLOAT_EQ(s->FromY, n.CellCentre(1, row - 5).Y) << "each content falls five rows";
        EXPECT_FLOAT_EQ(s->Delay, 20);
        EXPECT_FLOAT_EQ(dynamic_cast<TStartChip*>(n.FlyAt(2, row))->Delay, 40) << "the next column later";
    }
    auto* top = dynamic_cast<TStartChip*>(n.FlyAt(1, 1));
    const float from = top->FromY, to = top->ToY;
    BoardSamplesPlayed.clear();
    for (int i = 0; i < 19; ++i)
        top->Step();
    EXPECT_GT(top->Delay, 0);
    EXPECT_TRUE(BoardSamplesPlayed.empty());
    top->Step();
    EXPECT_EQ(top->Delay, 0) << "the delay runs out on the step that reaches it";
    ASSERT_EQ(BoardSamplesPlayed.size(), 1u);
    EXPECT_EQ(BoardSamplesPlayed[0], "StartLevel_FallDown");
    EXPECT_NEAR(Along(from, to, top->PosY), 1 - std::sin(M_PI / 2 + (1 - 0.5 * 29 / 30) * M_PI / 2), 1e-5);
    for (int i = 0; i < 29; ++i)
        top->Step();
    EXPECT_FLOAT_EQ(top->FallTime, 0);
    EXPECT_EQ(top->PosY, to);

    Delta = 0; // a content whose fall has not begun stands 29 % of the way down
    TStartChip fresh(1, 30, 0, 5, 0);
    fresh.Step();
    EXPECT_NEAR(Along(fresh.FromY, fresh.ToY, fresh.PosY), 1 - std::sin(0.75 * M_PI), 1e-5);
    Delta = 1;
}

TEST_F(FlyTest, SwapFlightsAndRefusedSwapsFollowTheStateClock) {
    TNet& n = Laid({"1 2 3", "4 5 6"});
    auto* a = Own(new TFlyChip(1, 1, 2, 1));
    auto* bad = Own(new TInvalidChip(2, 1, 1, 1));
    const TWorldPoint c1 = n.CellCentre(1, 1), c2 = n.CellCentre(2, 1);
    n.AState = asSwap;
    n.AStateTime = 0.5f;
    a->Step();
    EXPECT_NEAR(a->PosX, (c1.X + c2.X) / 2, 1e-6) << "midway at half of the swap";
    n.AState = asBadSwap;
    for (auto [t, expected] :
         {std::pair{1.0f, 0.0f}, {0.75f, 0.5f}, {0.5f, 1.0f}, {0.25f, 0.5f}, {0.0f, 0.0f}}) {
        n.AStateTime = t;
        bad->Step();
        EXPECT_NEAR(Along(c1.X, c2.X, bad->PosX), expected, 1e-5) << "t=" << t;
    }
}

TEST_F(FlyTest, DragFlightsStartAtThePointerOnlyForTheTargetUnderIt) {
    TNet& n = Laid({"1 2 3", "4 5 6"});
    GameDat.DragNDrop = 1;
    PointAt(2, 1, meNone, false);
    MouseObj.X += 7; // off the centre, still inside the square of (2, 1)
    auto* toPointer = Own(new TFlyChip(1, 1, 2, 1));
    auto* away = Own(new TFlyChip(2, 1, 1, 1));
    EXPECT_TRUE(toPointer->FromPointer) << "its target square holds the pointer";
    EXPECT_FALSE(away->FromPointer);
    EXPECT_FLOAT_EQ(toPointer->PointerX, Mouse->WorldX());
    n.AState = asSwap;
    n.AStateTime = 1;
    toPointer->Step();
    away->Step();
    EXPECT_FLOAT_EQ(toPointer->PosX, Mouse->WorldX()) << "starts where the chip was let go";
    EXPECT_FLOAT_EQ(away->PosX, n.CellCentre(2, 1).X);

    GameDat.DragNDrop = 0;
    EXPECT_FALSE(TFlyChip(1, 1, 2, 1).FromPointer) << "clicking leaves the pointer out";
}

TEST_F(FlyTest, DraggedChipCarriesItsPictureAndGlidesHome) {
    TNet& n = Laid({"3 b4 1", "4 5 6"});
    PointAt(1, 2, meNone, false);
    auto* chip = Own(new TDragNDropChip(1, 1));
    ASSERT_NE(chip->Picture, nullptr);
    EXPECT_EQ(chip->Picture->TexId, tiChips);
    EXPECT_EQ(chip->Picture->Block1, sbTexAlpha);
    EXPECT_FLOAT_EQ(chip->Picture->Quad()[0].U, ChipsUV[2].Left);
    auto* bonus = Own(new TDragNDropChip(2, 1));
    EXPECT_EQ(bonus->Picture->TexId, tiBonuses);
    EXPECT_FLOAT_EQ(bonus->Picture->Quad()[0].U, BonusesUV[3].Left);

    chip->Step();
    const TVertexDiffuseTex* q = chip->Picture->Quad();
    EXPECT_NEAR((q[0].X + q[3].X) / 2, Mouse->WorldX(), 1e-6) << "follows the pointer";
    EXPECT_NEAR((q[0].Y + q[3].Y) / 2, Mouse->WorldY(), 1e-6);
    EXPECT_NEAR(q[3].X - q[0].X, Pixels(40), 1e-6);

    chip->Release();
    n.AState = asSettle;
    n.AStateTime = 0;
    chip->Step();
    EXPECT_FLOAT_EQ(chip->PosX, n.CellCentre(1, 1).X) << "home when the settle state ends";
    EXPECT_FLOAT_EQ(chip->PosY, n.CellCentre(1, 1).Y);
}

TEST_F(FlyTest, SapAndPaintPicturesLiveInTheirStates) {
    TNet& n = Laid({"3 2 1", "4 5 6"});
    auto* sap = Own(new TSapChip(1, 1));
    n.AState = asSap;
    n.AStateTime = 0.6f;
    VisNet->ClearLists();
    sap->Step();
    ASSERT_EQ(VisNet->Chips.size(), 1u);
    EXPECT_EQ(VisNet->Chips[0].Picture, 15) << "first dissolving step";
    n.AStateTime = 0.4f;
    sap->Step();
    EXPECT_EQ(VisNet->Chips[1].Picture, 27) << "second dissolving step";

    auto* paint = Own(new TPaintChip(2, 6, 1));
    EXPECT_EQ(paint->OldColour, 2);
    n.AState = asPaint;
    n.AStateTime = 0.25f;
    paint->Step();
    EXPECT_EQ(paint->OldPicture->Color, 0x40000000u) << "black with alpha t";
    EXPECT_EQ(paint->NewPicture->Color, 0xBF000000u);
    EXPECT_EQ(paint->OldPicture->Block1, sbTexModAlpha);

    n.AState = asIdle;
    sap->Step();
    paint->Step();
    EXPECT_TRUE(sap->Dead);
    EXPECT_TRUE(paint->Dead);
}

TEST_F(FlyTest, GlaresEndWhenTheirChipIsSwappedAway) {
    TNet& n = Laid({"1 2 1 1", "3 4 5 6"});
    auto* moved = Own(new TGlare(1, 0, 1));
    auto* other = Own(new TGlare(2, 0, 1));
    auto* stays = Own(new TGlare(4, 0, 2));
    n.Select(1, 1);
    n.MakeMove(2, 1);
    ASSERT_EQ(n.AState, asSwap);
    moved->Step();
    other->Step();
    stays->Step();
    EXPECT_TRUE(moved->Dead);
    EXPECT_TRUE(other->Dead);
    EXPECT_FALSE(stays->Dead);
}

TEST_F(FlyTest, RandomGlareWaitsThenRunsItsFramesOnItsColoursSheet) {
    Laid({"8 2 1", "3 4 5"});
    auto* g = Own(new TGlare(1, 0, 1));
    EXPECT_GE(g->Phase, 1);
    EXPECT_FALSE(g->Picture->Visible) << "hidden at first";
    EXPECT_EQ(g->Picture->Block1, sbAdditive);
    const TVertexDiffuseTex* q = g->Picture->Quad();
    EXPECT_NEAR(q[3].X - q[0].X, Pixels(38), 1e-6);
    g->Phase = 1.0f;
    g->Step(); // 0.95
    EXPECT_TRUE(g->Picture->Visible);
    EXPECT_EQ(g->Picture->TexId, tiGlares2) << "colours 7 and above";
    EXPECT_FLOAT_EQ(g->Picture->Quad()[0].U, GlaresUV2[1].Left) << "frame 0 of colour 8";
    g->Phase = 0.45f + 0.05f; // steps to 0.45: frame 3
    g->Step();
    EXPECT_EQ(g->Frame, 3);
    EXPECT_FLOAT_EQ(g->Picture->Quad()[0].U, GlaresUV2[6 * 3 + 1].Left);
    for (int i = 0; i < 20 && !g->Dead; ++i)
        g->Step();
    EXPECT_TRUE(g->Dead) << "a random glare runs once";
}

TEST_F(FlyTest, HintGlareRepeatsWhileYoungAndEndsWhenAMoveStarts) {
    TNet& n = Laid({"1 2 1 1", "3 4 5 6"});
    BoardSamplesPlayed.clear();
    auto* hint = Own(new TGlare(1, 1, 1));
    ASSERT_EQ(BoardSamplesPlayed.size(), 1u);
    EXPECT_EQ(BoardSamplesPlayed[0], "HelpAppear");
    EXPECT_EQ(hint->Picture->TexId, tiGlares1);
    for (int i = 0; i < 20; ++i)
        hint->Step();
    EXPECT_FALSE(hint->Dead);
    EXPECT_FLOAT_EQ(hint->Phase, 1) << "a new pass while young";

    n.Select(1, 1);
    n.MakeMove(2, 1);
    hint->Step();
    EXPECT_TRUE(hint->Dead) << "the move ends the hint at once";

    n.SetAState(asIdle);
    auto* old = Own(new TGlare(3, 1, 2));
    old->LifeTime = 300;
    for (int i = 0; i < 20; ++i)
        old->Step();
    EXPECT_TRUE(old->Dead) << "an old hint does not repeat";
}

TEST_F(FlyTest, BlinkChipRepeatsOnlyWhileItsBonusIsHovered) {
    Laid({"1 2 1", "3 4 5"});
    TBonusPanel panel;
    BonusPanel = &panel;
    panel.Hovered = 2;
    auto* blink = Own(new TBlinkChip(2, 1));
    EXPECT_TRUE(PreviewBlinking);
    for (int i = 0; i < 16; ++i)
        blink->Step();
    EXPECT_TRUE(blink->Picture->Visible);
    blink->Step(); // reaches 0 and starts again
    EXPECT_FLOAT_EQ(blink->Phase, 1);
    panel.Hovered = 1;
    for (int i = 0; i < 18; ++i)
        blink->Step();
    EXPECT_TRUE(blink->Dead);
    EXPECT_FALSE(PreviewBlinking);
    BonusPanel = nullptr;
}

} // namespace
} // namespace velmora::boardtest
