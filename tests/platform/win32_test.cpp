// The Win32-shaped layer without a window: key codes, presentation geometry, message boxes,
// cursor files, clock hook and file paths.
#include "platform/files.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>

using namespace velmora;

// ---- Virtual keys ----

// SDL's key and scan codes by value: only the platform layer sees SDL's headers.
namespace sdl {
constexpr int ScanA = 4, ScanQ = 20, ScanY = 28, Scan5 = 34, ScanReturn = 40, ScanEscape = 41,
              ScanBackspace = 42, ScanSpace = 44, ScanLeftBracket = 47, ScanSemicolon = 51, ScanGrave = 53,
              ScanF1 = 58, ScanF12 = 69, ScanKpEnter = 88, ScanNonUsBackslash = 100, ScanLCtrl = 224,
              ScanLAlt = 226, ScanRShift = 229;
} // namespace sdl

TEST(VirtualKeys, LettersAndDigitsFollowTheLayout) {
    EXPECT_EQ(VirtualKeyFromSdl('a', sdl::ScanA), static_cast<UINT>('A'));
    // A German layout swaps Y and Z: Windows reports the letter printed on the key.
    EXPECT_EQ(VirtualKeyFromSdl('z', sdl::ScanY), static_cast<UINT>('Z'));
    EXPECT_EQ(VirtualKeyFromSdl('5', sdl::Scan5), static_cast<UINT>('5'));
    // A Cyrillic letter has no Latin key code: its position gives the Latin one, as on Windows.
    EXPECT_EQ(VirtualKeyFromSdl(0x439, sdl::ScanQ), static_cast<UINT>('Q'));
}

TEST(VirtualKeys, SpecialKeysHaveTheirWin32Codes) {
    EXPECT_EQ(VirtualKeyFromSdl('\r', sdl::ScanReturn), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanKpEnter), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromSdl(27, sdl::ScanEscape), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanLCtrl), VK_CONTROL);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanRShift), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanLAlt), VK_MENU);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanF1), VK_F1);
    EXPECT_EQ(VirtualKeyFromSdl(0, sdl::ScanF12), VK_F12);
    EXPECT_EQ(VirtualKeyFromSdl(';', sdl::ScanSemicolon), VK_OEM_1);
    EXPECT_EQ(VirtualKeyFromSdl('`', sdl::ScanGrave), VK_OEM_3);
    EXPECT_EQ(VirtualKeyFromSdl('[', sdl::ScanLeftBracket), VK_OEM_4);
    EXPECT_EQ(VirtualKeyFromSdl('<', sdl::ScanNonUsBackslash), VK_OEM_102);
    EXPECT_EQ(VirtualKeyFromSdl(' ', sdl::ScanSpace), VK_SPACE);
    EXPECT_EQ(VirtualKeyFromSdl(8, sdl::ScanBackspace), VK_BACK);
    EXPECT_EQ(VirtualKeyFromSdl(0, 0), 0u);
}

TEST(MessageParameters, PackAndUnpackLikeWin32) {
    const LPARAM lp = MAKELPARAM(799, 599);
    EXPECT_EQ(LOWORD(lp), 799);
    EXPECT_EQ(HIWORD(lp), 599);
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(-5, 10)), -5); // signed, as for positions left of a window
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(-5, 10)), 10);
    EXPECT_EQ(WM_ACTIVATEAPP, 0x1Cu);
    EXPECT_EQ(WM_KEYDOWN, 0x100u);
    EXPECT_EQ(WM_LBUTTONDOWN, 0x201u);
    EXPECT_EQ(WM_ENTERSIZEMOVE, 0x231u);
    EXPECT_EQ(VK_OEM_1, 186u);
}

TEST(MessageQueue, QuitMessageEndsGetMessage) {
    PostQuitMessage(3);
    MSG msg{};
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0)); // not a window
}

// ---- Presentation geometry ----

TEST(PresentGeometry, SameSizeIsOneToOne) {
    const PresentRect r = ComputePresentRect(800, 600, 800, 600);
    EXPECT_EQ(r.X, 0);
    EXPECT_EQ(r.Y, 0);
    EXPECT_EQ(r.Width, 800);
    EXPECT_EQ(r.Height, 600);
    EXPECT_FALSE(r.Linear);
}

TEST(PresentGeometry, WholeFactorWhenItFillsTheSpace) {
    const PresentRect r = ComputePresentRect(800, 600, 1600, 1200);
    EXPECT_EQ(r.Width, 1600);
    EXPECT_FALSE(r.Linear);
    // 1620 x 1210: twice still fills all but a few pixels; bars take the rest.
    const PresentRect near = ComputePresentRect(800, 600, 1620, 1210);
    EXPECT_EQ(near.Width, 1600);
    EXPECT_EQ(near.Height, 1200);
    EXPECT_EQ(near.X, 10);
    EXPECT_EQ(near.Y, 5);
    EXPECT_FALSE(near.Linear);
}

TEST(PresentGeometry, WideDesktopGetsSideBarsAndLinearScaling) {
    const PresentRect r = ComputePresentRect(800, 600, 1920, 1080);
    EXPECT_EQ(r.Height, 1080);
    EXPECT_EQ(r.Width, 1440);
    EXPECT_EQ(r.X, 240);
    EXPECT_EQ(r.Y, 0);
    EXPECT_TRUE(r.Linear);
}

TEST(PresentGeometry, TallWindowGetsTopAndBottomBars) {
    const PresentRect r = ComputePresentRect(800, 600, 1000, 1000);
    EXPECT_EQ(r.Width, 1000);
    EXPECT_EQ(r.Height, 750);
    EXPECT_EQ(r.X, 0);
    EXPECT_EQ(r.Y, 125);
}

TEST(PresentGeometry, SmallWindowScalesDown) {
    const PresentRect r = ComputePresentRect(800, 600, 400, 300);
    EXPECT_EQ(r.Width, 400);
    EXPECT_EQ(r.Height, 300);
    EXPECT_TRUE(r.Linear);
}

TEST(PresentGeometry, DegenerateSizesGiveAnEmptyRectangle) {
    EXPECT_EQ(ComputePresentRect(800, 600, 0, 0).Width, 0);
    EXPECT_EQ(ComputePresentRect(0, 600, 100, 100).Width, 0);
}

TEST(MouseMapping, WindowPixelsMapBackToBackBufferPixels) {
    const PresentRect r = ComputePresentRect(800, 600, 1920, 1080); // x 240..1680, scale 1.8
    POINT p = MapDrawableToBackBuffer(r, 800, 600, 240, 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = MapDrawableToBackBuffer(r, 800, 600, 960, 540); // centre of the screen
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    p = MapDrawableToBackBuffer(r, 800, 600, 1679, 1079);
    EXPECT_EQ(p.x, 799);
    EXPECT_EQ(p.y, 599);
}

TEST(MouseMapping, PointsOnTheBarsClampToTheEdge) {
    const PresentRect r = ComputePresentRect(800, 600, 1920, 1080);
    POINT p = MapDrawableToBackBuffer(r, 800, 600, 10, 500);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 277); // 500 / 1.8
    p = MapDrawableToBackBuffer(r, 800, 600, 1900, 500);
    EXPECT_EQ(p.x, 799);
    p = MapDrawableToBackBuffer(r, 800, 600, -50, -50);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(MouseMapping, DoubledPicturesMapTwoPixelsToOne) {
    const PresentRect r = ComputePresentRect(800, 600, 1600, 1200);
    EXPECT_EQ(MapDrawableToBackBuffer(r, 800, 600, 3, 5).x, 1);
    EXPECT_EQ(MapDrawableToBackBuffer(r, 800, 600, 3, 5).y, 2);
}

// ---- Message boxes ----

TEST(MessageBoxes, AutomaticAnswerShowsNothingAndIsRecorded) {
    ClearShownMessageBoxes();
    SetMessageBoxAutoAnswer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Quit?", "Velmora", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Save?", "Velmora", MB_YESNOCANCEL), IDNO);
    // A box without a No button answers with its first button.
    EXPECT_EQ(MessageBox(nullptr, "Could not reset the Direct3D device.", "Velmora", MB_OK | MB_ICONERROR),
              IDOK);
    SetMessageBoxAutoAnswer(IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Save?", "Velmora", MB_YESNOCANCEL), IDCANCEL);
    SetMessageBoxAutoAnswer(0);
    ASSERT_EQ(ShownMessageBoxes().size(), 4u);
    EXPECT_EQ(ShownMessageBoxes()[2].Text, "Could not reset the Direct3D device.");
    EXPECT_EQ(ShownMessageBoxes()[2].Caption, "Velmora");
    EXPECT_EQ(ShownMessageBoxes()[2].Type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(ShownMessageBoxes()[2].Answer, IDOK);
}

TEST(MessageBoxes, EnvironmentAnswersWhenNoSwitchIsSet) {
    setenv("VELMORA_MSGBOX_ANSWER", "6", 1);
    EXPECT_EQ(MessageBox(nullptr, "Really?", "Velmora", MB_YESNO), IDYES);
    setenv("VELMORA_MSGBOX_ANSWER", "garbage", 1);
    SetMessageBoxAutoAnswer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Really?", "Velmora", MB_YESNO), IDNO);
    SetMessageBoxAutoAnswer(0);
    unsetenv("VELMORA_MSGBOX_ANSWER");
}

// ---- Cursor files ----

namespace {

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A .cur with one image: bits 1 or 32, pixels given top row first as 0xAARRGGBB (for 1 bit:
// palette index 0 black / 1 white), mask bits 1 = transparent.
std::vector<std::uint8_t> MakeCursor(int w, int h, int bits, const std::vector<std::uint32_t>& pixels,
                                     const std::vector<int>& mask, int hotX, int hotY) {
    std::vector<std::uint8_t> img;
    Put32(img, 40);
    Put32(img, w);
    Put32(img, h * 2);
    Put16(img, 1);
    Put16(img, bits);
    for (int i = 0; i < 6; ++i)
        Put32(img, 0);
    if (bits == 1) {
        Put32(img, 0x000000);
        Put32(img, 0xFFFFFF);
    }
    const size_t xorStride = ((w * bits + 31) / 32) * 4, andStride = ((w + 31) / 32) * 4;
    for (int row = h - 1; row >= 0; --row) { // bottom-up
        std::vector<std::uint8_t> line(xorStride, 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[row * w + x];
            if (bits == 32)
                std::memcpy(&line[x * 4], &p, 4);
            else if (p)
                line[x / 8] |= 0x80 >> (x % 8);
        }
        img.insert(img.end(), line.begin(), line.end());
    }
    for (int row = h - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (mask[row * w + x]) line[x / 8] |= 0x80 >> (x % 8);
        img.insert(img.end(), line.begin(), line.end());
    }
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file.push_back(static_cast<std::uint8_t>(w));
    file.push_back(static_cast<std::uint8_t>(h));
    file.push_back(0);
    file.push_back(0);
    Put16(file, hotX);
    Put16(file, hotY);
    Put32(file, static_cast<unsigned>(img.size()));
    Put32(file, 22);
    file.insert(file.end(), img.begin(), img.end());
    return file;
}

} // namespace

TEST(CursorFiles, MonochromeCursorUsesTheMaskForTransparency) {
    // 2 x 2: top row white + transparent, bottom row black + white.
    const auto file = MakeCursor(2, 2, 1, {1, 1, 0, 1}, {0, 1, 0, 0}, 1, 0);
    CursorImage img;
    std::string error;
    ASSERT_TRUE(DecodeCursorFile(file, img, error)) << error;
    EXPECT_EQ(img.Width, 2);
    EXPECT_EQ(img.Height, 2);
    EXPECT_EQ(img.HotX, 1);
    EXPECT_EQ(img.HotY, 0);
    EXPECT_EQ(img.Pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(img.Pixels[1], 0u);
    EXPECT_EQ(img.Pixels[2], 0xFF000000u);
    EXPECT_EQ(img.Pixels[3], 0xFFFFFFFFu);
}

TEST(CursorFiles, TrueColourCursorKeepsItsAlpha) {
    const auto file = MakeCursor(2, 1, 32, {0x80FF0000u, 0xFF00FF00u}, {0, 0}, 0, 0);
    CursorImage img;
    std::string error;
    ASSERT_TRUE(DecodeCursorFile(file, img, error)) << error;
    EXPECT_EQ(img.Pixels[0], 0x80FF0000u);
    EXPECT_EQ(img.Pixels[1], 0xFF00FF00u);
}

TEST(CursorFiles, AnimatedCursorGivesItsFirstFrame) {
    const auto frame = MakeCursor(1, 1, 32, {0xFF0000FFu}, {0}, 0, 0);
    std::vector<std::uint8_t> ani = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
    const char anih[] = "anih";
    ani.insert(ani.end(), anih, anih + 4);
    Put32(ani, 36);
    ani.resize(ani.size() + 36, 0);
    const char list[] = "LIST";
    ani.insert(ani.end(), list, list + 4);
    Put32(ani, static_cast<unsigned>(4 + 8 + frame.size()));
    const char fram[] = "framicon";
    ani.insert(ani.end(), fram, fram + 8);
    Put32(ani, static_cast<unsigned>(frame.size()));
    ani.insert(ani.end(), frame.begin(), frame.end());
    CursorImage img;
    std::string error;
    ASSERT_TRUE(DecodeCursorFile(ani, img, error)) << error;
    EXPECT_EQ(img.Width, 1);
    EXPECT_EQ(img.Pixels[0], 0xFF0000FFu);
}

TEST(CursorFiles, BrokenFilesAreRefusedWithAReason) {
    CursorImage img;
    std::string error;
    EXPECT_FALSE(DecodeCursorFile({}, img, error));
    EXPECT_FALSE(error.empty());
    auto file = MakeCursor(2, 2, 1, {1, 1, 0, 1}, {0, 1, 0, 0}, 0, 0);
    file.resize(40); // cut inside the bitmap
    EXPECT_FALSE(DecodeCursorFile(file, img, error));
    auto huge = MakeCursor(2, 2, 1, {1, 1, 0, 1}, {0, 0, 0, 0}, 0, 0);
    huge[22 + 4] = 0xFF; // width 255 with the same small data
    huge[22 + 5] = 0xFF;
    EXPECT_FALSE(DecodeCursorFile(huge, img, error));
}

// ---- Clock ----

namespace {
LONGLONG FakeCounter() {
    return 123456789;
}
} // namespace

TEST(Clock, CounterRunsForwardAndCanBeReplaced) {
    LARGE_INTEGER a{}, b{}, f{};
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_GT(f.QuadPart, 0);
    QueryPerformanceCounter(&a);
    Sleep(2);
    QueryPerformanceCounter(&b);
    EXPECT_GT(b.QuadPart, a.QuadPart);
    SetPerformanceCounterHook(FakeCounter);
    QueryPerformanceCounter(&a);
    EXPECT_EQ(a.QuadPart, 123456789);
    SetPerformanceCounterHook(nullptr);
    QueryPerformanceCounter(&a);
    EXPECT_NE(a.QuadPart, 123456789);
}

// ---- Files ----

namespace fs = std::filesystem;

struct FilesTest : ::testing::Test {
    fs::path Root = fs::temp_directory_path() / ("velmora_files_" + std::to_string(::getpid()));
    FilesTest() {
        fs::create_directories(Root / "Textures" / "MenuBack");
        WriteWholeFile((Root / "Textures" / "MenuBack" / "Fishes1.tga").string(), "abc", 3);
    }
    ~FilesTest() override { fs::remove_all(Root); }
};

TEST_F(FilesTest, BackslashPathsWithOtherLetterCaseAreFound) {
    const std::string game = Root.string() + "\\textures\\MENUBACK\\fishes1.TGA";
    EXPECT_TRUE(FileExists(game));
    EXPECT_EQ(ResolvePath(game), (Root / "Textures" / "MenuBack" / "Fishes1.tga").string());
    EXPECT_EQ(FileSize(game), 3);
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(ReadWholeFile(game, data));
    EXPECT_EQ(data.size(), 3u);
    EXPECT_TRUE(DirectoryExists(Root.string() + "\\TEXTURES"));
    EXPECT_FALSE(FileExists(Root.string() + "\\Textures"));
}

TEST_F(FilesTest, MissingNamesKeepTheirSpellingSoTheyCanBeCreated) {
    const std::string game = Root.string() + "\\TEXTURES\\New\\Made.txt";
    EXPECT_EQ(ResolvePath(game), (Root / "Textures" / "New" / "Made.txt").string());
    EXPECT_TRUE(CreateDirectory(Root.string() + "\\textures\\New"));
    EXPECT_TRUE(AppendToFile(game, "one\n"));
    EXPECT_TRUE(AppendToFile(game, "two\n"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(Root.string() + "\\textures\\new\\made.TXT", text));
    EXPECT_EQ(text, "one\ntwo\n");
}

TEST_F(FilesTest, RenameDeleteAndList) {
    const std::string a = Root.string() + "\\a.dat", b = Root.string() + "\\B.dat";
    ASSERT_TRUE(WriteWholeFile(a, "1", 1));
    ASSERT_TRUE(WriteWholeFile(b, "22", 2));
    EXPECT_TRUE(RenameFile(a, b)); // replaces
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(FileSize(b), 1);
    WriteWholeFile(Root.string() + "\\c.TXT", "", 0);
    EXPECT_EQ(ListFiles(Root.string(), ".dat"), (std::vector<std::string>{"B.dat"}));
    EXPECT_EQ(ListFiles(Root.string(), ".txt"), (std::vector<std::string>{"c.TXT"}));
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(DeleteFile(b));
    EXPECT_EQ(FileSize(b), -1);
}

TEST_F(FilesTest, CurrentDirectoryIsTheBaseFolder) {
    const std::string before = GetCurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectory(Root.string() + "\\TEXTURES"));
    EXPECT_EQ(fs::path(GetCurrentDirectory()), Root / "Textures");
    EXPECT_TRUE(FileExists("MenuBack\\FISHES1.tga"));
    ASSERT_TRUE(SetCurrentDirectory(before));
    EXPECT_FALSE(SetCurrentDirectory(Root.string() + "\\nowhere"));
}
