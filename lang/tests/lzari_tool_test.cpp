// The command-line packer that the build runs on this machine to pack the language table.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "lang/tests/lzari_test_support.h"

namespace korvanel {
namespace {

TEST(LzariTool, PacksAndUnpacksFiles) {
  const auto dir = std::filesystem::temp_directory_path() / ("korvanel_lzari_tool_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const Bytes input = RandomBytes(10000, 13, 40);
  std::ofstream(dir / "in", std::ios::binary).write(reinterpret_cast<const char*>(input.data()), input.size());
  const std::string tool = KORVANEL_LZARI_TOOL;
  const std::string d = dir.string();
  ASSERT_EQ(std::system((tool + " e " + d + "/in " + d + "/packed").c_str()), 0);
  ASSERT_EQ(std::system((tool + " d " + d + "/packed " + d + "/out").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "out"), input);
  ASSERT_EQ(std::system((tool + " d " + d + "/packed " + d + "/cut --capacity 101").c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "cut"), Bytes(input.begin(), input.begin() + 100));
  EXPECT_NE(std::system((tool + " x " + d + "/in " + d + "/out 2>/dev/null").c_str()), 0);
  std::filesystem::remove_all(dir);
}

TEST(LzariTool, RefusesAStreamThatDeclaresMoreThanATableCanHold) {
  // Five bytes that ask for 4 GiB must not make the tool allocate, decode and write gigabytes.
  const auto dir = std::filesystem::temp_directory_path() / ("korvanel_lzari_huge_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "huge", std::ios::binary) << std::string("\xFF\xFF\xFF\xFF\x00", 5);
  const std::string tool = KORVANEL_LZARI_TOOL;
  const std::string d = dir.string();
  for (const std::string options : {"", " --capacity 10"}) {
    const int status = std::system(("timeout 60 " + tool + " d " + d + "/huge " + d + "/out" + options + " 2>" + d + "/err").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    const Bytes err = ReadFile(dir / "err");
    EXPECT_NE(std::string(err.begin(), err.end()).find("declares 4294967295 unpacked bytes"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace korvanel
