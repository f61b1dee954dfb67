// The board cursor: walking irregular boards, picking and swapping with keys exactly as two clicks
// do, the bounce of a refused swap, the hammer aimed and struck from the keyboard, and the frame's
// place off the chip's symbol.
#include "board/boardcursor.h"

#include "board/autoplaykeys.h"
#include "platform/gamepad.h"

#include <cmath>

#include "board_fixture.h"
#include "render/visual.h"

namespace velmora::boardtest {
namespace {

class BoardCursorTest : public BoardTest {
  protected:
    void TearDown() override {
        Cursor.reset();
        BoardTest::TearDown();
    }
    // A cursor over a board arranged from rows, the board idle.
    TBoardCursor& CursorOver(const std::vector<std::string>& rows) {
        const int h = static_cast<int>(rows.size());
        const int w = static_cast<int>((rows[0].size() + 1) / 2);
        MakeBoard(w, h);
        Arrange(rows);
        Board->SetAState(asIdle);
        Cursor = std::make_unique<TBoardCursor>();
        Cursor->Step();
        return *Cursor;
    }
    bool Key(uint16_t key) { return Cursor->KeyDown(key); }
    std::unique_ptr<TBoardCursor> Cursor;
};

const std::vector<std::string> kQuiet = {"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"};

TEST_F(BoardCursorTest, WalksIrregularShapesOverHolesAndStaysInside) {
    // A ring with a hole in the middle and a cut corner.
    TBoardCursor& c = CursorOver({"- 1 2 3 -", "1 2 3 4 5", "2 3 - 5 1", "3 4 5 1 2", "- - 1 2 3"});
    // The centre is a hole: the cursor starts on the nearest playable cell.
    EXPECT_FALSE(CursorCanStand(*Board, 3, 3));
    EXPECT_TRUE(CursorCanStand(*Board, c.X, c.Y));
    EXPECT_EQ(std::abs(c.X - 3) + std::abs(c.Y - 3), 1);
    EXPECT_FALSE(c.Shown) << "hidden until the first key";

    int32_t x = 2, y = 3;
    ASSERT_TRUE(CursorStep(*Board, x, y, 1, 0));
    EXPECT_EQ(x, 4) << "the hole is jumped";
    EXPECT_EQ(y, 3);
    x = 5, y = 3;
    EXPECT_FALSE(CursorStep(*Board, x, y, 1, 0)) << "nothing lies right of the right edge";
    EXPECT_EQ(x, 5);
    x = 2, y = 4;
    ASSERT_TRUE(CursorStep(*Board, x, y, 0, 1)) << "below (2,4) is a hole: a side step";
    EXPECT_EQ(y, 5);
    EXPECT_EQ(x, 3);
    x = 2, y = 1;
    EXPECT_FALSE(CursorStep(*Board, x, y, 0, -1));
    x = 2, y = 1;
    ASSERT_TRUE(CursorStep(*Board, x, y, -1, 0)) << "the cut corner is passed to the next row";
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);

    // Keys: the first shows the cursor without moving it, W A S D walk like the arrows.
    const int32_t x0 = c.X, y0 = c.Y;
    EXPECT_TRUE(Key(VK_RIGHT));
    EXPECT_TRUE(c.Shown);
    EXPECT_EQ(c.X, x0);
    EXPECT_EQ(c.Y, y0);
    const uint16_t walk[] = {'W', 'A', 'S', 'D', 'D', VK_DOWN, 'S', VK_RIGHT, 'D', 'W', 'W', 'A', 'A'};
    for (int i = 0; i < 40; ++i)
        Key(walk[i % 13]);
    EXPECT_TRUE(CursorCanStand(*Board, c.X, c.Y)) << "wherever the keys take it";
    for (int i = 0; i < 10; ++i)
        Key(VK_UP);
    for (int i = 0; i < 10; ++i)
        Key('A');
    EXPECT_EQ(c.X, 1) << "the left column's top playable cell";
    EXPECT_EQ(c.Y, 2);
    EXPECT_FALSE(Key('Q')) << "other keys are not the board's";
}

TEST_F(BoardCursorTest, PickSwapAndCancelAreTheTwoClicksOfAMove) {
    TScores scores;
    TBoardCursor& c = CursorOver({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "1 5 1 1 4"});
    Key(VK_DOWN); // shows it at the centre (3, 3)
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_LEFT);
    ASSERT_EQ(c.X, 2);
    ASSERT_EQ(c.Y, 5);
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_TRUE(Board->Selected);
    EXPECT_EQ(Board->Cells.At(2, 5).Mark, 2);
    EXPECT_EQ(BoardSamplesPlayed.back(), "Click");
    EXPECT_TRUE(Key(VK_ESCAPE)) << "Escape drops the pick";
    EXPECT_FALSE(Board->Selected);
    EXPECT_EQ(Board->Cells.At(2, 5).Mark, 0);
    EXPECT_FALSE(Key(VK_ESCAPE)) << "without a pick Escape is the level window's";
    Key(VK_RETURN);
    EXPECT_TRUE(Key(VK_LEFT)); // (1,5)=1 comes to (2,5): 1 1 1 in the bottom row
    EXPECT_EQ(Board->AState, asSwap);
    EXPECT_EQ(BoardSamplesPlayed.back(), "ChangeChips");
    EXPECT_EQ(Board->Cells.At(1, 5).Value, 5);
    EXPECT_FALSE(Board->Selected);
    EXPECT_EQ(c.X, 1) << "the cursor follows the chip";
    EXPECT_FALSE(Key(VK_RETURN) && Board->Selected) << "nothing is picked while the board moves";
    Settle();
    EXPECT_GE(scores.Score, 15);
    EXPECT_FALSE(AnyLine(*Board));
}

TEST_F(BoardCursorTest, RefusedSwapBouncesBackAndTheCursorStays) {
    THelp help;
    CursorOver(kQuiet);
    const TCellGrid before = Board->Cells;
    Key(VK_UP); // shown at (3, 3)
    Key(VK_RETURN);
    Key(VK_RIGHT);
    EXPECT_EQ(Board->AState, asBadSwap);
    EXPECT_EQ(BoardSamplesPlayed.back(), "Mismatch");
    EXPECT_EQ(help.RefusedSwaps, 1) << "the help hears of it as of a click";
    EXPECT_NE(dynamic_cast<TInvalidChip*>(Board->FlyAt(3, 3)), nullptr);
    EXPECT_NE(dynamic_cast<TInvalidChip*>(Board->FlyAt(4, 3)), nullptr);
    EXPECT_EQ(Cursor->X, 3);
    Settle();
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y)
            EXPECT_EQ(Board->Cells.At(x, y).Value, before.At(x, y).Value);
    // A picked chip next to a hole or a chained chip does not move that way.
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 - 5 1x 2", "4 5 1 2 3", "5 1 2 3 4"});
    Board->SetAState(asIdle);
    Key(VK_RETURN);
    Key(VK_RIGHT);
    Key(VK_LEFT);
    EXPECT_EQ(Board->AState, asIdle);
    EXPECT_TRUE(Board->Selected) << "the pick waits for a way it can go";
}

TEST_F(BoardCursorTest, HammerIsAimedWithTheCursorAndStruckWithEnter) {
    CursorOver(kQuiet);
    TMaster window; // the level window, which owns the panel and the hammer it arms
    TBonusPanel& panel = *window.Add(new TBonusPanel());
    panel.SetCount(1, 2);
    EXPECT_TRUE(panel.KeyDown(VK_F1));
    ASSERT_NE(Hammer, nullptr);
    THammer* hammer = Hammer;
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_LEFT); // (2, 2)
    int32_t px = 0, py = 0;
    ASSERT_TRUE(AimPixel(px, py));
    EXPECT_EQ(px, Board->PixelLeft() + 40 + 20) << "the hammer aims at the cursor's cell";
    EXPECT_EQ(py, Board->PixelTop() + 40 + 20);
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_EQ(Hammer, nullptr);
    EXPECT_TRUE(hammer->Dead);
    EXPECT_EQ(BoardSamplesPlayed.back(), "HammerUsed");
    EXPECT_FALSE(Board->Selected) << "a blow picks nothing";
    EXPECT_EQ(panel.Count(1), 1);
    Settle();
    window.Step(); // the used hammer goes

    // Escape gives an armed hammer back at once.
    panel.KeyDown(VK_F1);
    ASSERT_NE(Hammer, nullptr);
    EXPECT_EQ(panel.Count(1), 0);
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(Hammer, nullptr);
    EXPECT_EQ(panel.Count(1), 1);
}

TEST_F(BoardCursorTest, FrameKeepsToTheCellsRimAndGoesWhenTheMouseMoves) {
    TBoardCursor& c = CursorOver(kQuiet);
    Key(VK_UP);
    c.Step();
    const int32_t left = Board->PixelLeft() + 80, top = Board->PixelTop() + 80; // cell (3, 3)
    for (TColorRect* e : c.Edge) {
        EXPECT_TRUE(e->Visible);
        const int32_t w = static_cast<int32_t>(std::lround(e->Width / PixelsToWorld(1)));
        const int32_t h = static_cast<int32_t>(std::lround(e->Height / PixelsToWorld(1)));
        EXPECT_GE(e->ScreenX, left);
        EXPECT_GE(e->ScreenY, top);
        EXPECT_LE(e->ScreenX + w, left + 40);
        EXPECT_LE(e->ScreenY + h, top + 40);
        // Nothing of the frame reaches into the middle 30 x 30 pixels, where the symbol is.
        const bool clear = e->ScreenX + w <= left + 5 || e->ScreenX >= left + 35 ||
                           e->ScreenY + h <= top + 5 || e->ScreenY >= top + 35;
        EXPECT_TRUE(clear) << e->ScreenX << "," << e->ScreenY << " " << w << "x" << h;
    }
    // The pointer moves: the frame goes, the board takes the mouse again.
    FrameCount = 7;
    PointAt(1, 1, meNone, false);
    MouseObj.MoveFrame = FrameCount;
    EXPECT_FALSE(c.KeysLead());
    c.Step();
    EXPECT_FALSE(c.Shown);
    for (TColorRect* e : c.Edge)
        EXPECT_FALSE(e->Visible);
    Board->Step();
    EXPECT_TRUE(Board->Hovered) << "the pointer marks its cell again";
    // The next key brings the cursor back where the pointer was.
    FrameCount = 8;
    Key(VK_DOWN);
    EXPECT_TRUE(c.Shown);
    EXPECT_EQ(c.X, 1);
    EXPECT_EQ(c.Y, 1);
    EXPECT_FALSE(Board->Hovered);
}

TEST_F(BoardCursorTest, TheBotsMoveBecomesArrowsThePickAndTheArrowTowardTheNeighbour) {
    CursorOver({"1 2 3 4 5", "2 3 4 5 1", "3 4 - 1 2", "4 5 1 2 3", "1 5 1 1 4"});
    const std::vector<int32_t> path = CursorPath(*Board, 3, 2, 3, 4);
    EXPECT_EQ(path, std::vector<int32_t>{1}) << "one press jumps the hole";
    EXPECT_TRUE(CursorPath(*Board, 2, 2, 2, 2).empty());

    const TBotMove move{2, 5, 1, 5, 0};
    const auto keys = PointerPlanAsKeys(*Board, MoveActions(*Board, move, false), 5, 1, BotKeysOf(bhPad));
    std::vector<WPARAM> pressed;
    for (const auto& frame : keys)
        for (const TBotAction& a : frame)
            if (a.Message == WM_KEYDOWN) pressed.push_back(static_cast<WPARAM>(a.X));
    ASSERT_GE(pressed.size(), 3u);
    EXPECT_EQ(pressed[pressed.size() - 2], PadButtonKey(pbA)) << "the pick";
    EXPECT_EQ(pressed.back(), PadButtonKey(pbLeft)) << "toward the neighbour";
    // The arrows before the pick take the cursor from (5, 1) to (2, 5).
    int32_t x = 5, y = 1;
    for (size_t i = 0; i + 2 < pressed.size(); ++i) {
        const int32_t dx = pressed[i] == VK_LEFT ? -1 : pressed[i] == VK_RIGHT ? 1 : 0;
        const int32_t dy = pressed[i] == VK_UP ? -1 : pressed[i] == VK_DOWN ? 1 : 0;
        ASSERT_TRUE(CursorStep(*Board, x, y, dx, dy));
    }
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(pressed.size(), 2u + 6u) << "three left and four down, one saved by jumping the hole";
}

} // namespace
} // namespace velmora::boardtest
