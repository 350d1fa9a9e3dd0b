// The command-line packer that the build runs on this machine to pack the language table.

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace korvanel
