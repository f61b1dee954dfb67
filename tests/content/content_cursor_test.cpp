// The cursor files decode with the platform's cursor reader into the pictures the tool drew.
#include "content_support.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

using namespace content_test;

TEST(ContentCursors, ThreeCursorFilesDecodeWithTheirHotSpots) {
    for (int k = 1; k <= 3; ++k) {
        const std::string bytes =
            read_bytes(data_dir() / "Textures" / ("Cursor_" + std::to_string(k) + ".xcr"));
        std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        velmora::CursorImage image;
        std::string error;
        ASSERT_TRUE(velmora::DecodeCursorFile(data, image, error)) << k << ": " << error;
        EXPECT_EQ(image.Width, 32);
        EXPECT_EQ(image.Height, 32);
        int opaque = 0;
        for (std::uint32_t p : image.Pixels) {
            opaque += (p >> 24) >= 128;
        }
        EXPECT_GT(opaque, 60) << "cursor " << k << " shows a shape";
        EXPECT_LT(opaque, 32 * 32 / 2) << "cursor " << k << " is mostly transparent";
        // the hot spot lies on the tip of the drawn shape
        const std::uint32_t tip = image.Pixels[size_t(image.HotY) * 32 + size_t(image.HotX)];
        EXPECT_GE(tip >> 24, 128u) << "cursor " << k;
    }
}
