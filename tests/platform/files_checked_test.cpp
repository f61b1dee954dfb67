// The one checked open every game file goes through, and what a file-size limit does to a write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/signals.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string>& Told() {
    static std::vector<std::string> told;
    return told;
}

struct CheckedReads : ::testing::Test {
    fs::path Root = fs::temp_directory_path() / ("velmora_checked_" + std::to_string(::getpid()));
    CheckedReads() {
        fs::create_directories(Root);
        Told().clear();
        SetFileFaultSink([](const std::string& text) { Told().push_back(text); });
    }
    ~CheckedReads() override {
        SetFileFaultSink(nullptr);
        fs::remove_all(Root);
    }
    std::string Game(const std::string& name) const { return Root.string() + "\\" + name; }
};

TEST_F(CheckedReads, AFolderADeviceOrAnOversizedFileIsRefusedAndNamed) {
    fs::create_directories(Root / "Chips.tga");
    ASSERT_EQ(::mkfifo((Root / "Pipe.txt").c_str(), 0600), 0);
    std::ofstream(Root / "Big.txt") << std::string(2000, 'x');
    std::vector<uint8_t> bytes{1, 2, 3};

    EXPECT_FALSE(ReadWholeFile(Game("Chips.tga"), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(Game("Pipe.txt"), bytes)); // refused at once, not waited on
    EXPECT_FALSE(ReadWholeFile(Game("Big.txt"), bytes, 1000));
    ASSERT_EQ(Told().size(), 3u);
    EXPECT_NE(Told()[0].find("A folder stands in place of the file"), std::string::npos) << Told()[0];
    EXPECT_NE(Told()[0].find("Chips.tga"), std::string::npos);
    EXPECT_NE(Told()[1].find("Not a regular file"), std::string::npos) << Told()[1];
    EXPECT_NE(Told()[2].find("too large"), std::string::npos) << Told()[2];
    EXPECT_NE(Told()[2].find("Big.txt"), std::string::npos);

    // A missing file is its reader's to report; within its bound a file reads whole.
    EXPECT_FALSE(ReadWholeFile(Game("Missing.txt"), bytes));
    EXPECT_EQ(Told().size(), 3u);
    EXPECT_TRUE(ReadWholeFile(Game("Big.txt"), bytes, 2000));
    EXPECT_EQ(bytes.size(), 2000u);
}

TEST_F(CheckedReads, AHeadIsReadFromAFileOfAnyLength) {
    std::ofstream(Root / "Font.itf") << std::string(100000, 'f');
    std::vector<uint8_t> head;
    ASSERT_TRUE(ReadFileHead(Game("Font.itf"), head, 18));
    EXPECT_EQ(head.size(), 18u);
    fs::create_directories(Root / "Folder.itf");
    EXPECT_FALSE(ReadFileHead(Game("Folder.itf"), head, 18));
    EXPECT_EQ(Told().size(), 1u);
}

// Under a file-size limit the write fails instead of the game being killed in its middle, and the
// temporary file goes with it: the old file stays as it was.
TEST_F(CheckedReads, AWriteOverTheFileSizeLimitFailsAndLeavesNoTemporaryFile) {
    const std::string target = Game("Game.dat");
    ASSERT_TRUE(WriteWholeFile(target, "old", 3));
    const pid_t pid = fork();
    if (pid == 0) {
        InstallTerminationSignals();
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(100032, 'n');
        _exit(WriteWholeFile(target, big.data(), big.size()) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write claimed success";
    EXPECT_FALSE(fs::exists(Root / "Game.dat.tmp"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(target, text));
    EXPECT_EQ(text, "old");
}

} // namespace
} // namespace velmora
