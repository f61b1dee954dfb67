// The game's own readers and image tools on the content pack: fonts, particle descriptions, the
// JPEG unpacking of the resource creator and the cutting of every artefact slice with its glow.
#include "content_support.h"

#include "render/itf.h"
#include "render/particles.h"
#include "render/tga.h"

#include <gtest/gtest.h>

using namespace content_test;

TEST(ContentReaders, EveryFontReadsWithTheGamesFontReader) {
    std::vector<fs::directory_entry> files;
    for (const fs::path& folder : {data_dir() / "Fonts", data_dir() / "Lang" / "Rus" / "Fonts"})
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().extension() == ".itf") files.push_back(e);
    EXPECT_EQ(files.size(), 2u * 18u + 1u); // two code pages and the language names
    for (const auto& e : files) {
        velmora::TItfData font;
        ASSERT_TRUE(velmora::ReadItfFile(e.path().string(), font)) << e.path();
        EXPECT_EQ(font.Glyphs.size(), font.Chars.size()) << e.path();
        EXPECT_NE(font.Chars.find('E'), std::string::npos) << e.path(); // even "English" has one
        EXPECT_GT(font.LineHeight, 8) << e.path();
        velmora::TTgaHeader atlas;
        fs::path tga = e.path();
        tga.replace_extension(".tga");
        ASSERT_TRUE(velmora::ReadTgaHeader(tga.string(), atlas)) << tga;
        for (const auto& g : font.Glyphs) {
            EXPECT_LE(g.X + g.W, atlas.Width()) << e.path();
            EXPECT_LE(g.Y + g.H, atlas.Height()) << e.path();
        }
    }
}

TEST(ContentReaders, EveryParticleFileReadsIntoAVisibleEmitter) {
    int files = 0;
    for (const auto& e : fs::directory_iterator(data_dir() / "Particles")) {
        velmora::TParticles p;
        ASSERT_TRUE(p.LoadFromFile(e.path().string())) << e.path();
        EXPECT_EQ(p.SpriteSize, 32) << e.path() << " has a sprite";
        EXPECT_GT(p.Count, 0) << e.path();
        EXPECT_GT(p.LifeTime, 0) << e.path();
        EXPECT_LE(p.Blend, 1) << e.path() << " would never be drawn";
        ++files;
    }
    EXPECT_EQ(files, 25);
}

TEST(ContentReaders, ShippedJpegsUnpackIntoTexturesOfTheirSize) {
    const fs::path dir = scratch_dir("velmora_content_unpack");
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"Maps/Rome", "Countries/Greece", "History/Large_Sun"}) {
        const fs::path src = data_dir() / "Textures" / name;
        const fs::path dst = dir / fs::path(name).filename();
        fs::copy_file(src.string() + ".jpg", dst.string() + ".jpg");
        if (fs::exists(src.string() + "_Alpha.jpg")) {
            fs::copy_file(src.string() + "_Alpha.jpg", dst.string() + "_Alpha.jpg");
        }
        ASSERT_TRUE(velmora::BuildTgaFromJpg(dst.string() + ".jpg")) << name;
        velmora::TTgaImage image;
        ASSERT_TRUE(velmora::LoadTgaImage(dst.string() + ".tga", image, 1)) << name;
        EXPECT_GE(image.Width(), 506) << name;
        if (std::string(name) == "Maps/Rome") {
            // the map's rounded corners are transparent, its middle opaque
            EXPECT_LT(image.At(0, 0) >> 24, 64u);
            EXPECT_GT(image.At(image.Width() / 2, image.Height() / 2) >> 24, 200u);
        }
    }
    fs::remove_all(dir);
}

TEST(ContentReaders, EverySliceOfEveryArtefactCutsAndGlowsWithTheGamesTools) {
    velmora::TTgaImage brush;
    ASSERT_TRUE(velmora::LoadTgaImage((data_dir() / "Textures" / "BlurPen.tga").string(), brush, 1));
    for (const char* country :
         {"Greece", "Babylon", "Egypt1", "Egypt2", "Rome", "Carthage", "Velmora1", "Velmora2"}) {
        SCOPED_TRACE(country);
        const fs::path art = data_dir() / "Textures" / "Arts" / country;
        velmora::TTgaImage body, split, mask;
        ASSERT_TRUE(velmora::LoadTgaImage((art / "Norm.tga").string(), body, 1));
        ASSERT_TRUE(velmora::LoadTgaImage((art / "Split.tga").string(), split, 1));
        ASSERT_TRUE(velmora::LoadTgaImage((art / "Mask.tga").string(), mask, 1));
        ASSERT_EQ(body.Width(), mask.Width());
        ASSERT_EQ(body.Height(), mask.Height());
        velmora::ComposeTga(split, body, 0, 0);
        for (const std::string& line : read_lines(art / "!Colors.txt")) {
            if (skipped(line)) {
                continue;
            }
            const uint32_t rgb = uint32_t(std::stoul(words(line).at(1), nullptr, 16));
            velmora::TImageRect box;
            ASSERT_TRUE(velmora::ColorBounds(mask, rgb, box)) << line;
            velmora::TTgaImage slice, glow;
            ASSERT_TRUE(velmora::ExtractColorImage(body, mask, box, rgb, slice)) << line;
            EXPECT_EQ(slice.Width(), box.Right - box.Left + 1);
            ASSERT_TRUE(velmora::MakeGlowWithBrush(slice, brush, glow)) << line;
            EXPECT_GT(glow.Width(), slice.Width());
        }
    }
}
