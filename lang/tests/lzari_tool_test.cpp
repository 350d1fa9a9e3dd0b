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

// What a careless call can hand the tool: it answers with a message and exit code 1, soon, and
// never reads more than a language table can be.
class LzariToolInput : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Runs the tool with `arguments` for at most 60 s and returns its exit code (-1: killed or
  // crashed); its message lands in err_. Unless a sanitizer needs the address space, the tool
  // gets 512 MiB of it: reading a 3 GiB file whole would fail.
  int Run(const std::string& arguments) {
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    const std::string limit;
#else
    const std::string limit = "ulimit -v 524288; ";
#endif
#else
    const std::string limit = "ulimit -v 524288; ";
#endif
    const std::string command = limit + "timeout 60 " + std::string(KORVANEL_LZARI_TOOL) + " " + arguments + " 2>" +
                                (dir_ / "err").string();
    const int status = std::system(("bash -c '" + command + "'").c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) != 124 ? WEXITSTATUS(status) : -1;
  }
  std::string Message() {
    const Bytes err = ReadFile(dir_ / "err");
    return std::string(err.begin(), err.end());
  }
  // A sparse file of `size` bytes that starts with `head`: large, but takes no room on the disk.
  std::string Sparse(const std::string& name, std::uintmax_t size, const std::string& head) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << head;
    std::filesystem::resize_file(path, size);
    return path.string();
  }

  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("korvanel_lzari_input_" + std::to_string(getpid()));
  std::string out_ = (dir_ / "out").string();
};

TEST_F(LzariToolInput, ADirectoryOrADeviceIsRefusedUnread) {
  for (const std::string mode : {"e", "d"}) {
    EXPECT_EQ(Run(mode + " " + dir_.string() + " " + out_), 1) << mode;
    EXPECT_NE(Message().find(dir_.string() + " is not a regular file"), std::string::npos) << Message();
    // /dev/zero never ends.
    EXPECT_EQ(Run(mode + " /dev/zero " + out_), 1) << mode;
    EXPECT_NE(Message().find("/dev/zero is not a regular file"), std::string::npos) << Message();
    EXPECT_FALSE(std::filesystem::exists(out_));
  }
}

TEST_F(LzariToolInput, ALargeInputIsRefusedByItsSizeAndAStreamByItsHeaderFirst) {
  const std::uintmax_t three_gib = std::uintmax_t{3} << 30;
  EXPECT_EQ(Run("e " + Sparse("big", three_gib, "text") + " " + out_), 1);
  EXPECT_NE(Message().find("is larger than 64 MiB"), std::string::npos) << Message();
  // The header asks for 4 GiB: refused for that, before the 3 GiB behind it are read.
  EXPECT_EQ(Run("d " + Sparse("huge", three_gib, std::string("\xFF\xFF\xFF\xFF", 4)) + " " + out_), 1);
  EXPECT_NE(Message().find("declares 4294967295 unpacked bytes"), std::string::npos) << Message();
  // A modest header with gigabytes behind it is no stream the encoder made.
  EXPECT_EQ(Run("d " + Sparse("long", three_gib, std::string("\x10\x00\x00\x00", 4)) + " " + out_), 1);
  EXPECT_NE(Message().find("is larger than 128 MiB"), std::string::npos) << Message();
  EXPECT_FALSE(std::filesystem::exists(out_));
}

}  // namespace
}  // namespace korvanel
