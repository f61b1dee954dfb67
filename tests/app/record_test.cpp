// Input recording: every message the script can express comes back from its recorded line as the
// same message, and the options that switch recording and the bot on are read strictly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/testhooks.h"

namespace velmora {
namespace {

struct TMsg {
    UINT Message;
    WPARAM W;
    LPARAM L;
};

TEST(Record, RecordedLinesReplayAsTheSameMessages) {
    const std::vector<TMsg> sent = {{WM_MOUSEMOVE, 0, MAKELPARAM(12, 599)},
                                    {WM_LBUTTONDOWN, 0, MAKELPARAM(400, 300)},
                                    {WM_LBUTTONUP, 0, MAKELPARAM(401, 302)},
                                    {WM_RBUTTONDOWN, 0, MAKELPARAM(0, 0)},
                                    {WM_RBUTTONUP, 0, MAKELPARAM(799, 0)},
                                    {WM_KEYDOWN, 13, 0},
                                    {WM_KEYUP, 13, 0},
                                    {WM_CLOSE, 0, 0}};
    for (const TMsg& m : sent) {
        const std::string line = ScriptLine(42, m.Message, m.W, m.L);
        std::vector<TScriptEvent> back;
        ParseScript(line + "\n", back);
        // A button line also puts the pointer where it acts: the button comes last.
        ASSERT_FALSE(back.empty()) << line;
        const TScriptEvent& e = back.back();
        EXPECT_EQ(e.Frame, 42);
        EXPECT_EQ(e.Message, m.Message) << line;
        if (m.Message == WM_KEYDOWN || m.Message == WM_KEYUP) {
            EXPECT_EQ(e.WParam, m.W) << line;
        } else if (m.Message != WM_CLOSE) {
            EXPECT_EQ(e.LParam, m.L) << line;
        }
    }
}

TEST(Record, ReplayAddsNoMoveTheSessionDidNotHave) {
    // A recording holds the moves it saw; a button where the pointer already is brings none more
    // (a move is an input: the menu's bubbles draw from the game's dice when the pointer moves).
    std::vector<TScriptEvent> back;
    ParseScript(ScriptLine(5, WM_MOUSEMOVE, 0, MAKELPARAM(40, 50)) + "\n" +
                    ScriptLine(6, WM_LBUTTONDOWN, 0, MAKELPARAM(40, 50)) + "\n" +
                    ScriptLine(7, WM_LBUTTONUP, 0, MAKELPARAM(40, 50)) + "\n" +
                    ScriptLine(8, WM_LBUTTONDOWN, 0, MAKELPARAM(60, 50)) + "\n",
                back);
    std::vector<UINT> messages;
    for (const TScriptEvent& e : back)
        messages.push_back(e.Message);
    EXPECT_EQ(messages,
              (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN}))
        << "a button elsewhere still brings the pointer there first";
}

TEST(Record, MessagesAScriptCannotExpressAreNotRecorded) {
    EXPECT_EQ(ScriptLine(1, WM_PAINT, 0, 0), "");
    EXPECT_EQ(ScriptLine(1, WM_ACTIVATEAPP, 1, 0), "");
    EXPECT_EQ(ScriptLine(1, WM_KEYDOWN, 0, 0), "");
    EXPECT_EQ(ScriptLine(1, WM_KEYDOWN, 300, 0), "");
    EXPECT_EQ(ScriptLine(7, WM_KEYDOWN, 88, 0), "7 keydown 88");
}

TEST(Record, RecordAndAutoplayOptions) {
    TTestHooks h;
    std::string error;
    const char* ok[] = {"velmora", "--record", "r.txt", "--autoplay=1"};
    ASSERT_TRUE(ParseCommandLine(4, ok, h, error)) << error;
    EXPECT_EQ(h.RecordFile, "r.txt");
    EXPECT_EQ(h.AutoplaySkill, 1);
    TTestHooks d;
    const char* plain[] = {"velmora", "--autoplay"};
    ASSERT_TRUE(ParseCommandLine(2, plain, d, error));
    EXPECT_EQ(d.AutoplaySkill, 3);
    for (const char* bad : {"--autoplay=4", "--autoplay=x", "--autoplay="}) {
        TTestHooks b;
        const char* args[] = {"velmora", bad};
        EXPECT_FALSE(ParseCommandLine(2, args, b, error)) << bad;
    }
    TTestHooks r;
    const char* missing[] = {"velmora", "--record"};
    EXPECT_FALSE(ParseCommandLine(2, missing, r, error));
}

TEST(Record, ImpatientBotOptions) {
    std::string error;
    TTestHooks alone;
    const char* impatient[] = {"velmora", "--impatient", "--quit-after-levels", "2"};
    ASSERT_TRUE(ParseCommandLine(4, impatient, alone, error)) << error;
    EXPECT_TRUE(alone.Impatient);
    EXPECT_EQ(alone.AutoplaySkill, 3) << "the impatient manner brings the bot along";
    EXPECT_EQ(alone.QuitAfterLevels, 2);
    TTestHooks skilled;
    const char* withSkill[] = {"velmora", "--autoplay=1", "--impatient"};
    ASSERT_TRUE(ParseCommandLine(3, withSkill, skilled, error)) << error;
    EXPECT_EQ(skilled.AutoplaySkill, 1);
    for (const char* bad : {"0", "x", "1000"}) {
        TTestHooks b;
        const char* args[] = {"velmora", "--quit-after-levels", bad};
        EXPECT_FALSE(ParseCommandLine(3, args, b, error)) << bad;
    }
}

} // namespace
} // namespace velmora
