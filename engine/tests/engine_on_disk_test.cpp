// The engine on a real file system, with another user's move made at the moment it matters: as
// soon as the test directory exists, it is renamed and a link to a directory elsewhere (another
// drive, say) takes its place. The test file must never land there, and the run must not pass for
// a success.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "common/testing/scratch.h"
#include "engine/tests/fake_system.h"
#include "engine/test_names.h"

namespace korvanel::testing {
namespace {

class MovingStorage : public platform::Storage {
 public:
  MovingStorage(platform::Storage& real, std::string elsewhere) : real_(real), elsewhere_(std::move(elsewhere)) {}

  std::unique_ptr<platform::TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                               SysError* error) override {
    auto directory = real_.CreateTestDirectory(parent, name, error);
    moved_to = PathInDrive(parent, "moved-" + name);
    const std::string path = PathInDrive(parent, name);
    if (directory && (rename(path.c_str(), moved_to.c_str()) != 0 || symlink(elsewhere_.c_str(), path.c_str()) != 0)) {
      ADD_FAILURE() << "could not move the test directory";
    }
    return directory;
  }
  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override { return real_.FreeBytes(dir, free_bytes); }
  bool IsRamDisk(const std::string& dir) override { return real_.IsRamDisk(dir); }
  SysError ListDirectory(const std::string& dir, std::vector<platform::DirectoryEntry>* entries) override {
    return real_.ListDirectory(dir, entries);
  }

  std::string moved_to;

 private:
  platform::Storage& real_;
  std::string elsewhere_;
};

TEST(EngineOnDisk, ATestDirectorySwappedForALinkNeverRedirectsTheFile) {
  ScratchDir drive;
  ScratchDir elsewhere;
  MovingStorage storage(platform::SystemStorage(), elsewhere.path());
  FakeSystem host;  // only the host: the clock and the files are real
  BenchEngine engine(storage, platform::SystemClock(), host);
  host.engine = &engine;

  const BenchResults r = RunToEnd(engine, kTestSequential, 0, drive.path());
  EXPECT_EQ(EntryCount(elsewhere.path()), 0u) << "the test file went through the link";
  EXPECT_EQ(EntryCount(storage.moved_to), 0u) << "the test file was left in the moved directory";
  const std::vector<std::string> errors = host.Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_TRUE(errors[0].starts_with("Create-File Error\r\n0x00000074:the test directory was moved")) << errors[0];
  EXPECT_NE(errors[0].find("(it is now " + storage.moved_to + ")"), std::string::npos) << errors[0];
  EXPECT_TRUE(errors[1].starts_with("Could not remove " + drive.path() + "/Korvanel")) << errors[1];
  EXPECT_EQ(r.SR, 0);
}

}  // namespace
}  // namespace korvanel::testing
