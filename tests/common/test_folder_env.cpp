#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/log.h"
#include "app/options.h"
#include "platform/win32.h"

namespace {

// Every test program writes its log into its own temporary folder and never shows a message box.
class TTestFolder : public ::testing::Environment {
  public:
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() /
              ("velmora_test_" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::create_directories(Dir);
        velmora::SetLogFile((Dir / "Error.log").string());
        velmora::InitDataPaths(Dir.string());
        velmora::SetMessageBoxAutoAnswer(velmora::IDOK);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    std::filesystem::path Dir;
};

[[maybe_unused]] ::testing::Environment* const Env = ::testing::AddGlobalTestEnvironment(new TTestFolder);

} // namespace
