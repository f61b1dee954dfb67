// Thousands of random legal moves on random boards, played through the real state machine with
// a fixed step; the board's invariants are checked every time it has settled.
#include <random>

#include "board_fixture.h"
#include "render/partmaster.h"

namespace velmora::boardtest {
namespace {

class BoardPropertyTest : public BoardTest {
  protected:
    // A random level: chips mostly, some chained chips, slices, bonuses, blanks and holes.
    std::string RandomLevel(std::mt19937& rng, int& sliceCount) {
        std::uniform_int_distribution<int> size(4, 12), colourCount(3, 6), roll(0, 99), colour(1, 10);
        const int w = size(rng), h = size(rng), cc = colourCount(rng);
        std::ostringstream s;
        s << "Time 90\nColorCount " << cc << "\nColors";
        for (int i = 0; i < cc; ++i)
            s << " " << (1 + (i * 3 + static_cast<int>(rng() % 10)) % 10);
        s << "\nField " << w << "x" << h << "\n";
        sliceCount = 0;
        for (int y = 1; y <= h; ++y) {
            for (int x = 1; x <= w; ++x) {
                const int r = roll(rng);
                char token[8];
                if (r < 4 && y > 1)
                    std::snprintf(token, sizeof token, "----");
                else if (r < 7)
                    std::snprintf(token, sizeof token, "w000");
                else if (r < 11)
                    std::snprintf(token, sizeof token, "x%03d", colour(rng));
                else if (r < 13)
                    std::snprintf(token, sizeof token, "X%03d", colour(rng));
                else if (r < 15 && sliceCount < 20)
                    std::snprintf(token, sizeof token, "a%03d", ++sliceCount);
                else if (r < 17)
                    std::snprintf(token, sizeof token, "b%03d", 1 + static_cast<int>(rng() % 8));
                else
                    std::snprintf(token, sizeof token, "c000");
                s << token;
            }
            s << "\n";
        }
        return s.str();
    }

    void WriteParticleFiles() {
        for (const char* name : {"@LittleExplosion_In", "@LitExpl", "@LitExpl2", "@LittleExplosion_Yellow",
                                 "@LittleExplosion_Green", "@LittleExplosion_Red", "@LittleExplosion_White",
                                 "@LittleExplosion_Purple", "@LittleExplosion_Blue", "@LittleExplosion_Brown",
                                 "@LittleExplosion_Turq", "@LittleExplosion_Black"})
            WriteFile(std::string("Particles/") + name + ".prt",
                      "Queue 3\nLifeTime 12\nCount 8\nPartsPerStep 2\n");
    }

    // Score awarded so far, summed from the keeper's awards (which are taken out after each check).
    int64_t Awarded = 0;

    void CheckInvariants(const TNet& n, TScores& scores, int move) {
        SCOPED_TRACE("move " + std::to_string(move));
        ASSERT_EQ(n.AState, asIdle);
        ASSERT_FALSE(AnyLine(n));
        for (int32_t x = 1; x <= n.Info.Width; ++x)
            for (int32_t y = 1; y <= n.Info.Height; ++y) {
                const TCell& c = n.Cells.At(x, y);
                ASSERT_NE(c.Kind, ckEmpty) << x << "," << y;
                ASSERT_TRUE(c.Fly == 0 || n.FlyIsLive(c.Fly)) << x << "," << y;
                ASSERT_TRUE(c.Lock >= 0 && c.Lock <= 2);
            }
        const TLevelCounters& k = BoardCounters();
        ASSERT_GE(k.ChipsRemoved, 0);
        ASSERT_GE(k.Falls, 0);
        ASSERT_GE(k.BestCascade, 0);
        ASSERT_EQ(k.Cascade, 0);
        ASSERT_GE(k.SlicesDropped, 0);
        ASSERT_GE(k.BonusesDropped, 0);
        for (const auto& a : scores.Awards) {
            ASSERT_GE(a.LineLength, 3);
            ASSERT_GE(a.Cascade, 0);
            ASSERT_EQ(a.Points, 5 * (a.Cascade + a.LineLength - 2));
            Awarded += a.Points;
        }
        scores.Awards.clear();
        ASSERT_EQ(scores.Score, Awarded);
    }
};

TEST_F(BoardPropertyTest, RandomMovesKeepTheBoardSound) {
    WriteParticleFiles();
    int totalMoves = 0, cures = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        RandomSeed(seed * 7919u);
        int slices = 0;
        WriteFile("Levels/Greece/01.map", RandomLevel(rng, slices));
        BoardCounters() = TLevelCounters{};
        Board = std::make_unique<TNet>(Info);
        TNet& n = *Board;
        TScores scores;
        Awarded = 0;
        TTimer timer(90);
        TArtMaster art;
        art.SetSlices(slices);
        n.StartLevel();
        for (int move = 0; move < 200; ++move) {
            int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            if (n.CountMoves(true, x1, y1, x2, y2) == 0) {
                // No move: the idle board cures itself after the hint delay.
                int waited = 0;
                while (n.AState == asIdle && waited < 1000) {
                    n.Step();
                    ++waited;
                }
                ASSERT_LT(waited, 1000) << "seed " << seed;
                ++cures;
            } else {
                // A selectable cell first; a chained one is never offered by the move count.
                if (n.Cells.At(x1, y1).Back == 0 || n.Cells.At(x2, y2).Back == 0) continue;
                Click(x1, y1);
                ASSERT_TRUE(n.Selected) << "seed " << seed;
                Click(x2, y2);
                ASSERT_EQ(n.AState, asSwap) << "seed " << seed << " move " << move;
                ++totalMoves;
            }
            ASSERT_LT(Settle(20000), 20000) << "seed " << seed;
            CheckInvariants(n, scores, move);
            if (HasFatalFailure()) return;
        }
        EXPECT_GT(NetParticles->Count, 0) << "removals started effects";
        EXPECT_EQ(art.SlicesLeft, slices - BoardCounters().SlicesDropped) << "every dropped slice is placed";
        Board.reset();
    }
    EXPECT_GE(totalMoves, 2000);
    RecordProperty("moves", totalMoves);
    RecordProperty("cures", cures);
}

} // namespace
} // namespace velmora::boardtest
