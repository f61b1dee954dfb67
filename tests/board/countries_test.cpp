#include "board_fixture.h"

namespace velmora::boardtest {
namespace {

using CountriesTest = BoardTest;

TEST_F(CountriesTest, CellCodesOfALevelFile) {
    WriteFile("Levels/Greece/01.map", "ColorCount 2\nColors 3 4\nField 9x1\n"
                                      "x003B005a012----q000X002w007c001 009\n");
    TCellGrid cells;
    ASSERT_TRUE(ReadLevelFileOf(1, Info, cells, false));
    const TCell& chained = cells.At(1, 1);
    EXPECT_EQ(chained.Kind, ckChip);
    EXPECT_EQ(chained.Lock, 1);
    EXPECT_EQ(chained.Value, 3);
    EXPECT_EQ(cells.At(2, 1).Kind, ckBonus);
    EXPECT_EQ(cells.At(2, 1).Value, 5);
    EXPECT_EQ(cells.At(3, 1).Kind, ckSlice);
    EXPECT_EQ(cells.At(3, 1).Value, 12);
    EXPECT_EQ(cells.At(4, 1).Kind, ckNone);
    EXPECT_EQ(cells.At(5, 1).Kind, ckNone);
    EXPECT_EQ(cells.At(6, 1).Lock, 2);
    EXPECT_EQ(cells.At(7, 1).Kind, ckBlank);
    EXPECT_EQ(cells.At(7, 1).Back, 0) << "blank cells can never be clicked";
    EXPECT_EQ(cells.At(8, 1).Kind, ckChip);
    EXPECT_EQ(cells.At(9, 1).Kind, ckChip);
    EXPECT_EQ(cells.At(1, 1).Back, 1) << "country 1 gives chip-back style 1";
}

TEST_F(CountriesTest, FieldSizeWithEitherLetterCase) {
    for (const char* field : {"8x6", "8X6"}) {
        std::string text =
            std::string("ColorCount 3\nColors 1 2 3\n; comment\n\n// another\nField ") + field + "\n";
        for (int y = 0; y < 6; ++y)
            text += std::string(32, 'c') + "\n";
        WriteFile("Levels/Greece/01.map", text);
        TCellGrid cells;
        Info = TLevelInfo{};
        ASSERT_TRUE(ReadLevelFileOf(1, Info, cells, true)) << field;
        EXPECT_EQ(Info.Width, 8) << field;
        EXPECT_EQ(Info.Height, 6) << field;
        for (int x = 1; x <= 8; ++x)
            for (int y = 1; y <= 6; ++y) {
                EXPECT_EQ(cells.At(x, y).Kind, ckChip);
                EXPECT_TRUE(cells.At(x, y).Value >= 1 && cells.At(x, y).Value <= 3);
                int32_t count = 0;
                EXPECT_FALSE(GridCheckLine(cells, 8, 6, x, y, count)) << "drawn colours make no line";
            }
    }
}

TEST_F(CountriesTest, LevelNumberingAcrossCountries) {
    WriteFile(
        "Levels/Countries.txt", "CountryCount 2\n"
                                "// the campaign\n"
                                "CountryNames Greece Egypt\n"
                                "LevelCount 10 12\n"
                                "TownCoords Egypt\n" +
                                    [] {
                                        std::string s;
                                        for (int i = 1; i <= 12; ++i)
                                            s += "t " + std::to_string(i * 10) + " 7  Town number " +
                                                 std::to_string(i) + "\n";
                                        return s;
                                    }());
    ASSERT_TRUE(ReadCountries());
    int32_t c = -1, l = -1;
    LevelToCountry(10, c, l);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(l, 10);
    LevelToCountry(11, c, l);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(l, 1);
    LevelToCountry(22, c, l);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(l, 12);
    c = l = -7;
    LevelToCountry(23, c, l);
    EXPECT_EQ(c, -7) << "a level beyond the campaign leaves the outputs alone";
    EXPECT_EQ(l, -7);
    EXPECT_TRUE(IsLastLevelOfCountry(10));
    EXPECT_TRUE(IsLastLevelOfCountry(22));
    EXPECT_FALSE(IsLastLevelOfCountry(11));
    EXPECT_FALSE(IsLastLevelOfCountry(23));
    EXPECT_EQ(FirstLevelOfCountry(1), 1);
    EXPECT_EQ(FirstLevelOfCountry(2), 11);
    EXPECT_EQ(Countries.TownCoords[2][3].X, 30);
    EXPECT_EQ(Countries.TownCoords[2][3].Y, 7);
    EXPECT_EQ(Countries.TownNames[2][12], "Town number 12");
    EXPECT_EQ(LevelFileName(13), Paths.Levels + "\\Egypt\\03.map");
    EXPECT_EQ(CountryArtFile(2, "Shad"), "Textures\\Arts\\Egypt\\Shad.tga");
    std::string country, town;
    GetLevelNames(0, country, town);
    EXPECT_EQ(country, town);
    GetLevelNames(12, country, town);
    EXPECT_EQ(town, "Town number 2");
}

TEST_F(CountriesTest, HostileCountryTableIsClippedAndLogged) {
    std::string text = "CountryCount 40\nCountryNames A B\nLevelCount 99 2\nTownCoords Nowhere\n"
                       "LevelCount 99 2\nTownCoords B\nt 1 2 First\nt 3 4 Second\n";
    WriteFile("Levels/Countries.txt", text);
    ASSERT_TRUE(ReadCountries());
    EXPECT_EQ(Countries.CountryCount, cMaxCountries);
    EXPECT_EQ(Countries.LevelCount[1], cMaxLevelsPerCountry);
    EXPECT_EQ(Countries.TownNames[2][2], "Second");
    const std::string log = ReadLog();
    EXPECT_NE(log.find("CountryCount above the limit"), std::string::npos);
    EXPECT_NE(log.find("unknown country"), std::string::npos);
    EXPECT_NE(log.find("line 4"), std::string::npos) << log;
}

TEST_F(CountriesTest, HostileLevelFileIsClippedAndLogged) {
    // 40 x 40 board, more colours than counted, short rows, file ending early.
    WriteFile("Levels/Greece/01.map", "ColorCount 12\nColors 1 2 3 4 5 6 7 8 9 10 11 12 13\nField 40x40\n"
                                      "x001x001\n");
    TCellGrid cells;
    cells.At(32, 32).Kind = ckChip; // must be overwritten as a hole, not left over
    ASSERT_TRUE(ReadLevelFileOf(1, Info, cells, false));
    EXPECT_EQ(Info.Width, 32);
    EXPECT_EQ(Info.Height, 32);
    EXPECT_EQ(Info.ColorCount, cMaxColors);
    EXPECT_EQ(cells.At(2, 1).Lock, 1);
    EXPECT_EQ(cells.At(3, 1).Kind, ckNone) << "a short row is padded with holes";
    EXPECT_EQ(cells.At(32, 32).Kind, ckNone) << "missing rows are holes";
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Field width out of range"), std::string::npos);
    EXPECT_NE(log.find("more colours than ColorCount"), std::string::npos);
    EXPECT_NE(log.find("row shorter than the board"), std::string::npos);
    EXPECT_NE(log.find("01.map"), std::string::npos);
}

TEST_F(CountriesTest, MissingLevelFileIsReportedAndLeavesCellsAlone) {
    TCellGrid cells;
    cells.At(1, 1).Kind = ckBlank;
    EXPECT_FALSE(ReadLevelFileOf(1, Info, cells, true));
    EXPECT_EQ(cells.At(1, 1).Kind, ckBlank);
    EXPECT_NE(ReadLog().find("doesn't exist"), std::string::npos);
}

} // namespace
} // namespace velmora::boardtest
