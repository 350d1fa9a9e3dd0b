// The Windows storage layer on real files. Under Wine some of it cannot be seen (Wine caches
// "unbuffered" files and runs overlapped requests one after the other); those parts say so and are
// left to a real Windows machine.

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/storage.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

constexpr uint32_t kBlock = 4096;

class WindowsStorageTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return JoinPath(dir_.path(), name); }

  // A file of `blocks` 4 KiB blocks, block i filled with the byte i.
  void MakeFile(const std::string& path, uint32_t blocks) {
    SysError error;
    auto file = storage_.CreateFile(path, true, &error);
    ASSERT_TRUE(file) << error.description;
    AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
    for (uint32_t i = 0; i < blocks; ++i) {
      std::memset(buffer.data(), static_cast<int>(i), kBlock);
      ASSERT_FALSE(file->Write(buffer.data(), kBlock, uint64_t{i} * kBlock));
    }
    ASSERT_FALSE(file->Flush());
    ASSERT_FALSE(file->Close());
  }

  Storage& storage_ = SystemStorage();
  testing::ScratchDir dir_;
};

TEST_F(WindowsStorageTest, NewFilesAreNewAndTransfersLandAtTheirOffsets) {
  const std::string path = Path("Тест.tmp");
  MakeFile(path, 8);
  SysError error;
  EXPECT_FALSE(storage_.CreateFile(path, true, &error)) << "an existing name is never opened as new";
  EXPECT_TRUE(error.Is(EEXIST)) << error.code;

  auto file = storage_.OpenFile(path, AccessHint::kRandom, true, &error);
  ASSERT_TRUE(file) << error.description;
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  ASSERT_FALSE(file->Read(buffer.data(), kBlock, 5 * kBlock));
  EXPECT_EQ(buffer.data()[0], 5);
  EXPECT_EQ(buffer.data()[kBlock - 1], 5);
  const SysError past_end = file->Read(buffer.data(), kBlock, 8 * kBlock);
  EXPECT_TRUE(past_end.failed()) << "a read past the end is an error, not a short success";
  EXPECT_FALSE(file->Close());
  EXPECT_FALSE(file->Close()) << "a second close does nothing";

  storage_.RemoveFile(path);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(path)));
}

TEST_F(WindowsStorageTest, FilesAreOpenedExclusively) {
  const std::string path = Path("exclusive.tmp");
  MakeFile(path, 1);
  SysError error;
  auto file = storage_.OpenFile(path, AccessHint::kSequential, true, &error);
  ASSERT_TRUE(file);
  // Share mode 0: nobody else may read or write the test file while a pass runs.
  const HANDLE other = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
}

TEST_F(WindowsStorageTest, UnbufferedTransfersRefuseMisalignedBuffers) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine " << WineVersion() << " serves unbuffered files from its cache";
  const std::string path = Path("aligned.tmp");
  MakeFile(path, 2);
  SysError error;
  auto file = storage_.OpenFile(path, AccessHint::kSequential, true, &error);
  ASSERT_TRUE(file);
  AlignedBuffer buffer = storage_.NewTransferBuffer(2 * kBlock, kBlock);
  EXPECT_TRUE(file->Read(buffer.data() + 1, kBlock, 0).failed()) << "the cache was not bypassed";
}

TEST_F(WindowsStorageTest, PrivateDirectoriesAreNewAndTheirNamesNeverReused) {
  const std::string path = Path("Korvanel0012AB34");
  ASSERT_FALSE(storage_.CreatePrivateDirectory(path));
  const SysError again = storage_.CreatePrivateDirectory(path);
  EXPECT_TRUE(again.Is(EEXIST)) << again.code << " " << again.description;
  storage_.PrepareForDirectIo(path);  // compression off where the file system has it; never fails
  storage_.RemoveDirectory(path);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(path)));
}

TEST_F(WindowsStorageTest, TransferBufferIsZeroedAndPageAligned) {
  AlignedBuffer buffer = storage_.NewTransferBuffer(1 << 20, kBlock);
  ASSERT_TRUE(buffer);
  EXPECT_GE(buffer.size(), 1u << 20);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % kBlock, 0u);
  EXPECT_EQ(std::count(buffer.data(), buffer.data() + buffer.size(), 0), static_cast<long>(buffer.size()));
}

TEST_F(WindowsStorageTest, FreeSpaceAndAlignmentOfTheVolume) {
  uint64_t free_bytes = 0;
  EXPECT_FALSE(storage_.FreeBytes(dir_.path(), &free_bytes));
  EXPECT_GT(free_bytes, 0u);
  EXPECT_TRUE(storage_.FreeBytes(Path("missing/deeper"), &free_bytes).failed());
  EXPECT_GE(storage_.DirectIoAlignment(dir_.path()), 4096u);
  EXPECT_FALSE(storage_.IsRamDisk(dir_.path()));
}

TEST_F(WindowsStorageTest, QueuedRequestsCompleteOnThisThreadWithTheirSlots) {
  const std::string path = Path("queued.tmp");
  MakeFile(path, 64);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = storage_.OpenQueued(path, {false, buffer.data(), kBlock, 8}, true, &error);
  ASSERT_TRUE(file) << error.description;
  for (uint32_t slot = 0; slot < 8; ++slot) ASSERT_FALSE(file->Start(slot, uint64_t{slot} * 3 * kBlock));
  std::set<uint32_t> slots;
  const DWORD thread = GetCurrentThreadId();
  for (int wait = 0; wait < 20 && slots.size() < 8; ++wait) {
    uint32_t handled = 0;
    ASSERT_FALSE(file->Wait(1000, [&](const Completion& completion) {
      EXPECT_EQ(GetCurrentThreadId(), thread);
      EXPECT_EQ(completion.result, static_cast<int64_t>(kBlock));
      slots.insert(completion.slot);
    }, &handled));
  }
  EXPECT_EQ(slots.size(), 8u);
  EXPECT_FALSE(file->Close());
}

TEST_F(WindowsStorageTest, QueuedReadPastTheEndFailsWithTheSystemsCode) {
  const std::string path = Path("short.tmp");
  MakeFile(path, 1);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = storage_.OpenQueued(path, {false, buffer.data(), kBlock, 2}, true, &error);
  ASSERT_TRUE(file);
  const SysError started = file->Start(0, 10 * kBlock);
  int64_t result = 0;
  if (!started) {
    uint32_t handled = 0;
    for (int wait = 0; wait < 5 && handled == 0; ++wait) {
      file->Wait(1000, [&](const Completion& completion) { result = completion.result; }, &handled);
    }
  }
  // Either the start refuses or the request completes with an error (ERROR_HANDLE_EOF): never as data.
  EXPECT_TRUE(started.failed() || result < 0) << result;
  EXPECT_FALSE(file->Close());
}

TEST_F(WindowsStorageTest, CancelledRequestsCompleteAsCancelledAndCloseReapsThem) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine " << WineVersion() << " completes file requests before they can be cancelled";
  const std::string path = Path("cancel.tmp");
  MakeFile(path, 256);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = storage_.OpenQueued(path, {false, buffer.data(), kBlock, 64}, true, &error);
  ASSERT_TRUE(file);
  for (uint32_t slot = 0; slot < 64; ++slot) ASSERT_FALSE(file->Start(slot, uint64_t{slot} * 4 * kBlock));
  file->CancelAll();
  int completed = 0;
  for (int wait = 0; wait < 20 && completed < 64; ++wait) {
    uint32_t handled = 0;
    file->Wait(1000, [&](const Completion& completion) {
      ++completed;
      if (completion.result < 0) {
        EXPECT_TRUE(SysError::FromSystemCode(static_cast<int>(-completion.result)).Is(ECANCELED));
      }
    }, &handled);
  }
  EXPECT_EQ(completed, 64);
  EXPECT_FALSE(file->Close());
}

}  // namespace
}  // namespace korvanel::platform
