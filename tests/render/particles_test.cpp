#include "render/particles.h"

#include "render/partmaster.h"
#include "render_fixture.h"

#include <cmath>
#include <memory>

namespace velmora {
namespace {

class ParticlesTest : public testing::TRenderBTest {
  protected:
    std::unique_ptr<TParticles> Make(const std::vector<std::string>& lines) {
        auto p = std::make_unique<TParticles>();
        p->LoadFromLines(lines, "test.prt");
        p->BuildRamps();
        p->Reset();
        return p;
    }
};

TEST_F(ParticlesTest, ReadsEveryKey) {
    const std::string path = WriteText("@Spark.prt", "; sparks\n"
                                                     "// made by hand\n"
                                                     "Queue 2\n"
                                                     "Blend 1\n"
                                                     "BornRadius 0.25\n"
                                                     "StartSpeed 0.01\n"
                                                     "LifeTime 40\n"
                                                     "PartsPerStep 1.5\n"
                                                     "Count 100\n"
                                                     "Wind 2 0\n"
                                                     "Grav 0.5 -1.5707964\n"
                                                     "UVIndex 3\n"
                                                     "Colors FFFF8000 80FFFFFF 00000000 00000000\n"
                                                     "Size 1 0.5 9\n"
                                                     "EnableAxisRotate true\n"
                                                     "AxisRotate 0 3.14 0\n"
                                                     "EnableCenterRotate 1\n"
                                                     "CenterRotate 0 6.28 0 0.1 0.2\n"
                                                     "Mystery 1 2 3\n"
                                                     "Count 120\n");
    TParticles p;
    ASSERT_TRUE(p.LoadFromFile(path));
    EXPECT_EQ(p.Queue, 2);
    EXPECT_EQ(p.Blend, 1);
    EXPECT_FLOAT_EQ(p.BornRadius, 0.25f);
    EXPECT_FLOAT_EQ(p.StartSpeed, 0.01f);
    EXPECT_EQ(p.LifeTime, 40);
    EXPECT_FLOAT_EQ(p.PartsPerStep, 1.5f);
    EXPECT_EQ(p.Count, 120) << "the last of a repeated key wins";
    EXPECT_FLOAT_EQ(p.WindX, 2);
    EXPECT_NEAR(p.WindY, 0, 1e-6f);
    EXPECT_NEAR(p.GravX, 0, 1e-6f);
    EXPECT_NEAR(p.GravY, -0.5f, 1e-6f);
    EXPECT_EQ(p.UVIndex, 3);
    EXPECT_EQ(p.SpriteSize, 32);
    EXPECT_FLOAT_EQ(p.Colors[0][0], 255);
    EXPECT_FLOAT_EQ(p.Colors[0][2], 128);
    EXPECT_FLOAT_EQ(p.Colors[1][0], 128);
    EXPECT_FLOAT_EQ(p.Sizes[1], 0.5f);
    EXPECT_TRUE(p.AxisRotateOn);
    EXPECT_FLOAT_EQ(p.AxisRotate[1], 3.14f);
    EXPECT_TRUE(p.CenterRotateOn);
    EXPECT_FLOAT_EQ(p.CenterRotate[4], 0.2f);
}

TEST_F(ParticlesTest, MissingKeysKeepDefaultsAndBadValuesAreBounded) {
    auto p = Make({"Count 5000", "EnableAxisRotate True", "Queue 9"});
    EXPECT_EQ(p->Count, cMaxParticles);
    EXPECT_FALSE(p->AxisRotateOn) << "booleans are case-sensitive";
    EXPECT_EQ(p->Queue, 0);
    EXPECT_EQ(p->SpriteSize, 0);
    EXPECT_FLOAT_EQ(p->PartsPerStep, 0);
    EXPECT_EQ(LogCount("Count out of range"), 1);
    EXPECT_EQ(LogCount("Invalid Queue"), 1);
    EXPECT_FLOAT_EQ(p->SizeRamp[100], 0) << "without UVIndex nothing is visible";
}

TEST_F(ParticlesTest, MissingFileIsLoggedAndNeverBears) {
    TParticles p;
    EXPECT_FALSE(p.LoadFromFile((Dir / "@Nothing.prt").string()));
    EXPECT_EQ(LogCount("TParticles.LoadFromFile: File not exists \""), 1);
    p.BuildRamps();
    p.Reset();
    for (int i = 0; i < 10; ++i)
        p.Step();
    EXPECT_EQ(p.AliveCount(), 0);
    EXPECT_FALSE(p.Dead) << "still emitting: the owner decides";
    p.Emitting = false;
    p.Step();
    EXPECT_TRUE(p.Dead);
}

TEST_F(ParticlesTest, ZeroLifeTimeLivesOneStep) {
    auto p = Make({"Count 4", "PartsPerStep 1"});
    EXPECT_EQ(LogCount("LifeTime missing or not above zero"), 1);
    EXPECT_TRUE(std::isfinite(p->AgeStep));
    p->Step();
    EXPECT_EQ(p->AliveCount(), 0) << "born and aged past 1 in the same step";
    for (const TParticle& part : p->Parts)
        EXPECT_TRUE(std::isfinite(part.Age));
}

TEST_F(ParticlesTest, HalfAParticlePerStepBearsEverySecondFrame) {
    auto p = Make({"Count 50", "PartsPerStep 0.5", "LifeTime 100"});
    std::vector<int> alive;
    for (int i = 0; i < 6; ++i) {
        p->Step();
        alive.push_back(p->AliveCount());
    }
    EXPECT_EQ(alive, (std::vector<int>{0, 1, 1, 2, 2, 3}));
}

TEST_F(ParticlesTest, PoolNeverHoldsMoreThanCount) {
    auto p = Make({"Count 10", "PartsPerStep 7", "LifeTime 100"});
    for (int i = 0; i < 5; ++i)
        p->Step();
    EXPECT_EQ(p->AliveCount(), 10);
}

TEST_F(ParticlesTest, BurstBearsTheWholePoolOnce) {
    auto p = Make({"Queue 3", "Count 20", "LifeTime 8"});
    p->OneShot = true;
    p->Step();
    EXPECT_EQ(p->AliveCount(), 20);
    EXPECT_FALSE(p->Emitting);
    int steps = 1;
    while (!p->Dead && steps < 100) {
        p->Step();
        ++steps;
    }
    EXPECT_TRUE(p->Dead);
    EXPECT_EQ(steps, 9) << "eight steps of life, then one step to notice";
}

TEST_F(ParticlesTest, RepeatedBurstWaitsForTheWholeCount) {
    auto p = Make({"Queue 3", "Count 4", "LifeTime 2", "PartsPerStep 1"});
    p->Step(); // owed 4 + 1: burst
    EXPECT_EQ(p->AliveCount(), 4);
    EXPECT_FLOAT_EQ(p->ToBorn, 1);
    p->Step();
    p->Step(); // owed 3: nothing yet, and the first burst has died
    EXPECT_EQ(p->AliveCount(), 0);
    p->Step(); // owed 4: next burst
    EXPECT_EQ(p->AliveCount(), 4);
}

TEST_F(ParticlesTest, StoppedEmitterDiesWithItsLastParticle) {
    auto p = Make({"Count 30", "PartsPerStep 3", "LifeTime 4"});
    for (int i = 0; i < 8; ++i)
        p->Step();
    EXPECT_EQ(p->AliveCount(), 9) << "three batches at ages 1/4, 1/2 and 3/4";
    p->Emitting = false;
    int steps = 0;
    while (!p->Dead) {
        ASSERT_LT(steps, 20);
        p->Step();
        ++steps;
    }
    EXPECT_EQ(p->AliveCount(), 0);
    // The youngest, a quarter through their life, need three more steps; the fourth notices.
    EXPECT_EQ(steps, 4);
}

TEST_F(ParticlesTest, NewestOnTopDrawsNewbornLast) {
    auto p = Make({"Queue 0", "Count 5", "PartsPerStep 1", "LifeTime 100"});
    p->Step();
    const TParticle* first = p->Order[4];
    EXPECT_TRUE(first->Alive());
    p->Step();
    EXPECT_EQ(p->Order[3], first) << "older particle moves one place down";
    EXPECT_TRUE(p->Order[4]->Alive());
    EXPECT_LT(p->Order[4]->Age, first->Age);
    EXPECT_FALSE(p->Order[0]->Alive());
}

TEST_F(ParticlesTest, NewestBelowDrawsNewbornFirst) {
    auto p = Make({"Queue 1", "Count 5", "PartsPerStep 1", "LifeTime 100"});
    p->Step();
    const TParticle* first = p->Order[0];
    EXPECT_TRUE(first->Alive());
    p->Step();
    EXPECT_EQ(p->Order[1], first);
    EXPECT_LT(p->Order[0]->Age, first->Age);
    EXPECT_FALSE(p->Order[4]->Alive());
}

TEST_F(ParticlesTest, RandomSlotsKeepTheOrder) {
    auto p = Make({"Queue 2", "Count 8", "PartsPerStep 3", "LifeTime 100"});
    std::array<TParticle*, cMaxParticles> before = p->Order;
    p->Step();
    p->Step();
    EXPECT_EQ(p->AliveCount(), 6);
    EXPECT_EQ(p->Order, before);
    p->Step();
    EXPECT_EQ(p->AliveCount(), 8);
}

TEST_F(ParticlesTest, WindAndGravityMoveParticles) {
    auto p = Make({"Count 1", "Queue 3", "LifeTime 100", "Wind 0.01 0", "Grav 0.001 -1.5707964"});
    p->OneShot = true;
    p->MoveTo(0.5f, 0.25f);
    Delta = 2;
    DeltaSq = 4;
    p->Step();
    p->Step();
    const TParticle& q = p->Parts[0];
    // Step 1: x += 0.01 * 2; gravity gained 0.004. Step 2: x += 0.02, y -= 0.004.
    EXPECT_NEAR(q.X, 0.5f + 0.04f, 1e-5f);
    EXPECT_NEAR(q.Y, 0.25f - 0.004f, 1e-5f);
    EXPECT_NEAR(q.GY, -0.008f, 1e-6f);
    EXPECT_NEAR(q.Age, 0.04f, 1e-6f);
}

TEST_F(ParticlesTest, BornInsideTheRectangleOrSquare) {
    auto p = Make({"Count 200", "Queue 3", "LifeTime 100", "BornRadius 0.2"});
    p->MoveTo(1, -1);
    p->Step();
    for (int i = 0; i < 200; ++i) {
        EXPECT_LE(std::fabs(p->Parts[i].X - 1), 0.1f + 1e-6f);
        EXPECT_LE(std::fabs(p->Parts[i].Y + 1), 0.1f + 1e-6f);
    }
    auto r = Make({"Count 200", "Queue 3", "LifeTime 100"});
    r->SetBornRect(100, 200, 299, 209); // 200 x 10 pixels
    EXPECT_NEAR(r->RectWidth, 200 * PixelSize, 1e-6f);
    EXPECT_NEAR(r->EmitFrom[0], PixelX[100] + 100 * PixelSize, 1e-5f);
    r->Step();
    for (int i = 0; i < 200; ++i)
        EXPECT_LE(std::fabs(r->Parts[i].Y - r->EmitFrom[1]), 5 * PixelSize + 1e-6f);
}

TEST_F(ParticlesTest, TrailSpreadsBirthsAlongTheMove) {
    auto p = Make({"Count 300", "Queue 3", "LifeTime 100"});
    p->MoveTo(0, 0);
    p->SetTrail(true);
    p->MoveTo(1, 0);
    p->Step();
    float lo = 1, hi = 0;
    for (int i = 0; i < 300; ++i) {
        lo = std::min(lo, p->Parts[i].X);
        hi = std::max(hi, p->Parts[i].X);
    }
    EXPECT_GE(lo, 0);
    EXPECT_LE(hi, 1);
    EXPECT_LT(lo, 0.1f);
    EXPECT_GT(hi, 0.9f);
}

TEST_F(ParticlesTest, ColourRampFadesBetweenKeys) {
    auto p = Make({"Colors FF0000FF 00000000 00000000 00000000", "LifeTime 10"});
    EXPECT_EQ(p->ColorRamp[0], 0xFF0000FFu);
    const uint32_t c = p->ColorRamp[43]; // age about 1/6
    EXPECT_NEAR(static_cast<int>(c >> 24), 128, 2);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 128, 2);
    EXPECT_EQ(c & 0x00FFFF00u, 0u);
    EXPECT_EQ(p->ColorRamp[255], 0u);
}

TEST_F(ParticlesTest, SpinKeepsTheCornerDistance) {
    auto spinning =
        Make({"Count 1", "Queue 3", "LifeTime 10", "UVIndex 0", "Size 1 1 0", "EnableAxisRotate 1",
              "AxisRotate 0.7 0.7 0", "Colors FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF"});
    auto still = Make({"Count 1", "Queue 3", "LifeTime 10", "UVIndex 0", "Size 1 1 0",
                       "Colors FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF"});
    spinning->Step();
    still->Step();
    TVertexDiffuseTex a[6], b[6];
    spinning->FillQuads(a);
    still->FillQuads(b);
    auto dist = [](const TVertexDiffuseTex* v, const TParticle& p, int k) {
        return std::hypot(v[k].X - p.X, v[k].Y - p.Y);
    };
    for (int k = 0; k < 6; ++k) {
        EXPECT_NEAR(dist(a, spinning->Parts[0], k), dist(b, still->Parts[0], k), 1e-4f);
        EXPECT_NEAR(dist(b, still->Parts[0], k), 32 * PixelSize, 1e-4f)
            << "the size ramp is the half diagonal";
    }
    EXPECT_EQ(a[0].Color, 0xFFFFFFFFu);
}

TEST_F(ParticlesTest, DeadEntriesWriteInvisibleQuads) {
    auto p = Make(
        {"Count 3", "LifeTime 10", "UVIndex 0", "Size 1 1 0", "Colors FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF"});
    std::vector<TVertexDiffuseTex> v(18, TVertexDiffuseTex{9, 9, 9, 0x12345678u, 0, 0});
    p->FillQuads(v.data());
    for (const auto& vertex : v) {
        EXPECT_EQ(vertex.Color, 0u);
        EXPECT_EQ(vertex.X, 9) << "positions are left as they were";
    }
}

TEST_F(ParticlesTest, CirclingMovesTheDrawnCentre) {
    auto p = Make({"Count 1", "Queue 3", "LifeTime 10", "UVIndex 0", "Size 1 1 0", "EnableCenterRotate 1",
                   "CenterRotate 0 0 0 0.5 0.5", "Colors FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF"});
    p->Step();
    TVertexDiffuseTex v[6];
    p->FillQuads(v);
    const float cx = (v[0].X + v[5].X) / 2, cy = (v[0].Y + v[5].Y) / 2;
    EXPECT_NEAR(std::hypot(cx - p->Parts[0].X, cy - p->Parts[0].Y), 0.5f, 1e-4f);
}

} // namespace
} // namespace velmora

// ---- Masters ------------------------------------------------------------------------------------

namespace velmora {
namespace {

class PartMasterTest : public testing::TRenderBDeviceTest {
  protected:
    // Walks only live children: a freed system is compared by address, never touched.
    static bool HasChild(const TMaster& master, const TBasic* obj) {
        for (const TBasic* c = master.First; c != nullptr; c = c->Next)
            if (c == obj) return true;
        return false;
    }
    TParticles* AddSystem(TMaster& master, int32_t count, uint8_t blend) {
        TParticles* p = master.Add(new TParticles());
        p->LoadFromLines({"Count " + std::to_string(count), "Blend " + std::to_string(blend), "LifeTime 50",
                          "Queue 3", "UVIndex 0", "Size 1 1 0"},
                         "test.prt");
        p->BuildRamps();
        p->Reset();
        return p;
    }
    void WriteEffect(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(Dir / "Particles");
        WriteText("Particles/" + name, text);
    }
};

TEST_F(PartMasterTest, DrawsNormalThenAdditiveInTwoCalls) {
    TPartMaster master;
    EXPECT_EQ(master.First, master.PartVisual);
    AddSystem(master, 10, 1);
    AddSystem(master, 7, 0);
    AddSystem(master, 5, 2); // neither blending: never drawn
    AddSystem(master, 3, 0);
    master.Step();
    Rec->ClearCalls();
    master.Render();
    EXPECT_EQ(master.PartVisual->NormalCount, 10);
    EXPECT_EQ(master.PartVisual->AdditiveCount, 10);
    const auto draws = Rec->CallsNamed("DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].Args, (std::vector<std::int64_t>{D3DPT_TRIANGLELIST, 0, 20}));
    EXPECT_EQ(draws[1].Args, (std::vector<std::int64_t>{D3DPT_TRIANGLELIST, 60, 20}));
    const auto blends = Rec->CallsNamed("SetRenderState");
    ASSERT_GE(blends.size(), 2u);
    EXPECT_EQ(blends[blends.size() - 2].Args, (std::vector<std::int64_t>{D3DRS_SRCBLEND, D3DBLEND_SRCALPHA}));
    EXPECT_EQ(blends.back().Args, (std::vector<std::int64_t>{D3DRS_DESTBLEND, D3DBLEND_ONE}));
}

TEST_F(PartMasterTest, NoMoreThan16384QuadsAreFilled) {
    TPartMaster master;
    for (int i = 0; i < 6; ++i)
        AddSystem(master, 2048, 0);
    for (int i = 0; i < 3; ++i)
        AddSystem(master, 2048, 1);
    master.Step();
    master.PartVisual->FillPeaks();
    master.PartVisual->FillPeaks();
    EXPECT_EQ(master.PartVisual->NormalCount, 6 * 2048);
    EXPECT_EQ(master.PartVisual->AdditiveCount, cMaxPartRects - 6 * 2048);
    EXPECT_EQ(LogCount("TPartVisual.FillPeaks: RectCount is above maximal value"), 1);
    EXPECT_EQ(master.PartVisual->VertexCount, 6 * cMaxPartRects) << "the buffer never grows";
}

TEST_F(PartMasterTest, BurstFreesItselfAfterItsLastParticle) {
    WriteEffect("@Boom.prt", "Queue 3\nCount 20\nLifeTime 4\nUVIndex 1\nSize 1 0 0\n");
    TGamePartMaster master;
    TParticles* p = master.BurstAtWorld("@Boom.prt", 0.25f, -0.5f);
    EXPECT_TRUE(p->OneShot);
    EXPECT_FLOAT_EQ(p->EmitFrom[0], 0.25f);
    EXPECT_EQ(master.Count, 2);
    master.Step();
    EXPECT_EQ(p->AliveCount(), 20);
    for (int i = 0; i < 4; ++i)
        master.Step();
    EXPECT_EQ(master.Count, 1) << "the system was reaped";
    EXPECT_EQ(master.First, master.PartVisual);
}

TEST_F(PartMasterTest, StartOperationsPlaceTheEmitter) {
    WriteEffect("@Fire.prt", "Count 50\nPartsPerStep 2\nLifeTime 30\n");
    TGamePartMaster master;
    TParticles* rect = master.StartInRect("@Fire.prt", 10, 20, 29, 59);
    EXPECT_TRUE(rect->UseRect);
    EXPECT_NEAR(rect->RectHeight, 40 * PixelSize, 1e-6f);
    EXPECT_FALSE(rect->OneShot);
    TParticles* at = master.StartAtPixel("@Fire.prt", 100, 200);
    EXPECT_FLOAT_EQ(at->EmitFrom[0], PixelX[100]);
    EXPECT_FLOAT_EQ(at->EmitFrom[1], PixelY[200]);
    EXPECT_FALSE(at->OneShot);
    TParticles* burst = master.BurstAtPixel("@Fire.prt", 100, 200);
    EXPECT_TRUE(burst->OneShot);
    master.Step();
    EXPECT_EQ(at->AliveCount(), 2);
    // A continuous effect lives until its owner stops it.
    at->Emitting = false;
    for (int i = 0; i < 31; ++i)
        master.Step();
    EXPECT_FALSE(HasChild(master, at));
    EXPECT_TRUE(HasChild(master, rect));
    EXPECT_EQ(master.Count, 3);
}

TEST_F(PartMasterTest, MissingEffectFileIsHarmless) {
    TGamePartMaster master;
    TParticles* p = master.BurstAtPixel("@Nowhere.prt", 5, 5);
    EXPECT_EQ(LogCount("TParticles.LoadFromFile: File not exists"), 1);
    EXPECT_EQ(p->Count, 0);
    master.Step();
    EXPECT_EQ(master.Count, 1) << "an empty burst dies at once";
    master.Render();
    EXPECT_EQ(Rec->CountOf("DrawPrimitive"), 0);
    // A continuous effect stays: its owner holds the reference until it stops it.
    TParticles* fire = master.StartAtPixel("@Nowhere.prt", 5, 5);
    master.Step();
    EXPECT_TRUE(HasChild(master, fire));
}

} // namespace
} // namespace velmora
