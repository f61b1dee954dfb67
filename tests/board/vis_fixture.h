// Board tests that look at the visuals: the board fixture plus an 800 x 600 screen and the
// recording device, so vertex buffers exist and draw calls are kept.
#pragma once

#include "board_fixture.h"

#include "app/device.h"
#include "board/gamevis.h"
#include "platform/recording_device.h"
#include "render/blocks.h"
#include "render/tex.h"

namespace velmora::boardtest {

class VisTest : public BoardTest {
  protected:
    void SetUp() override {
        BoardTest::SetUp();
        InitScreenGeometryFor(800, 600);
        Rec = CreateRecordingDevice(800, 600);
        ASSERT_NE(Rec, nullptr);
        Device = Rec;
        // Distinct rectangles, so a quad's picture can be told from its texture coordinates.
        for (int i = 0; i < 36; ++i) {
            const float f = static_cast<float>(i);
            ChipsUV[i] = {f, 0.5f, f + 0.25f, 0.75f};
            BonusesUV[i] = {f, 0.1f, f + 0.25f, 0.2f};
            FieldsUV[i] = {f, 0.3f, f + 0.25f, 0.4f};
            GlaresUV[i] = {f, 0.6f, f + 0.25f, 0.7f};
            GlaresUV2[i] = {f, 0.8f, f + 0.25f, 0.9f};
        }
    }
    void TearDown() override {
        Board.reset();
        ForgetRememberedTexture();
        Device = nullptr;
        if (Rec) Rec->Release();
        Rec = nullptr;
        BoardTest::TearDown();
    }

    // A board of the given rows (see Arrange) with its visual, idle and without animations.
    TNet& Laid(const std::vector<std::string>& rows) {
        std::istringstream first(rows[0]);
        int w = 0;
        for (std::string t; first >> t;)
            ++w;
        TNet& n = MakeBoard(w, static_cast<int>(rows.size()));
        n.StartLevel();
        Arrange(rows);
        n.SetAState(asIdle);
        return n;
    }

    static float Pixels(float n) { return n * PixelSize; }

    IRecordingDevice* Rec = nullptr;
};

} // namespace velmora::boardtest
