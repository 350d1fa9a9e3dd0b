// The Windows storage layer on real files in a real test directory. Under Wine some of it cannot be
// seen (Wine caches "unbuffered" files, runs overlapped requests one after the other and lets a
// held directory be renamed); those parts say so and are left to a real Windows machine.

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/storage.h"
#include "platform/tests/windows/access_rules.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

constexpr uint32_t kBlock = 4096;

class WindowsStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysError error;
    directory_ = storage_.CreateTestDirectory(drive_.path(), "KorvanelTEST", &error);
    ASSERT_TRUE(directory_) << error.description;
  }
  void TearDown() override {
    if (directory_) directory_->Remove();
  }

  std::string Path(const std::string& name) const { return JoinPath(path_, name); }

  // A file of `blocks` 4 KiB blocks, block i filled with the byte i.
  void MakeFile(const std::string& name, uint32_t blocks) {
    SysError error;
    auto file = directory_->CreateFile(name, true, &error);
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
  testing::ScratchDir drive_;
  std::string path_ = JoinPath(drive_.path(), "KorvanelTEST");
  std::unique_ptr<TestDirectory> directory_;
};

TEST_F(WindowsStorageTest, NewFilesAreNewAndTransfersLandAtTheirOffsets) {
  MakeFile("Тест.tmp", 8);
  SysError error;
  EXPECT_FALSE(directory_->CreateFile("Тест.tmp", true, &error)) << "an existing name is never opened as new";
  EXPECT_TRUE(error.Is(EEXIST)) << error.code;

  auto file = directory_->OpenFile("Тест.tmp", AccessHint::kRandom, true, &error);
  ASSERT_TRUE(file) << error.description;
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  ASSERT_FALSE(file->Read(buffer.data(), kBlock, 5 * kBlock));
  EXPECT_EQ(buffer.data()[0], 5);
  EXPECT_EQ(buffer.data()[kBlock - 1], 5);
  const SysError past_end = file->Read(buffer.data(), kBlock, 8 * kBlock);
  EXPECT_TRUE(past_end.failed()) << "a read past the end is an error, not a short success";
  EXPECT_FALSE(file->Close());
  EXPECT_FALSE(file->Close()) << "a second close does nothing";

  EXPECT_FALSE(directory_->RemoveFile("Тест.tmp"));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(Path("Тест.tmp"))));
  EXPECT_TRUE(directory_->RemoveFile("Тест.tmp").Is(ENOENT));
}

TEST_F(WindowsStorageTest, FilesAreOpenedExclusively) {
  MakeFile("exclusive.tmp", 1);
  SysError error;
  auto file = directory_->OpenFile("exclusive.tmp", AccessHint::kSequential, true, &error);
  ASSERT_TRUE(file);
  // Share mode 0: nobody else may read or write the test file while a pass runs.
  const HANDLE other = CreateFileW(WidePath(Path("exclusive.tmp")).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
}

TEST_F(WindowsStorageTest, UnbufferedTransfersRefuseMisalignedBuffers) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine " << WineVersion() << " serves unbuffered files from its cache";
  MakeFile("aligned.tmp", 2);
  SysError error;
  auto file = directory_->OpenFile("aligned.tmp", AccessHint::kSequential, true, &error);
  ASSERT_TRUE(file);
  AlignedBuffer buffer = storage_.NewTransferBuffer(2 * kBlock, kBlock);
  EXPECT_TRUE(file->Read(buffer.data() + 1, kBlock, 0).failed()) << "the cache was not bypassed";
}

TEST_F(WindowsStorageTest, TestDirectoriesAreNewAndOnlyTheUserMayEnter) {
  SysError error;
  EXPECT_FALSE(storage_.CreateTestDirectory(drive_.path(), "KorvanelTEST", &error));
  EXPECT_TRUE(error.Is(EEXIST)) << error.code << " " << error.description;
  { std::ofstream(PathFromUtf8(drive_ / "KorvanelFILE")) << "someone else's"; }
  EXPECT_FALSE(storage_.CreateTestDirectory(drive_.path(), "KorvanelFILE", &error));
  EXPECT_TRUE(error.Is(EEXIST)) << error.code << " " << error.description;

  directory_->PrepareForDirectIo();  // compression off where the file system has it; never fails
  EXPECT_FALSE(directory_->CheckInPlace());
  if (RunningUnderWine()) GTEST_SKIP() << "Wine " << WineVersion() << " gives new directories rules of its own";
  // One rule, not inherited: full access for the user alone.
  const AccessRules rules = ReadAccessRules(WidePath(path_));
  ASSERT_TRUE(rules.read);
  EXPECT_TRUE(rules.protected_rules);
  EXPECT_EQ(rules.rule_count, 1u);
}

TEST_F(WindowsStorageTest, OnlyPlainNamesAreOpenedInTheDirectory) {
  // A device name, a stream of another file, a way out of the directory: nothing is created anywhere.
  for (const char* name : {"NUL", "con.tmp", "COM1", "x.tmp:stream", "..\\escaped.tmp", "sub/x.tmp", "dot.", ""}) {
    SysError error;
    EXPECT_FALSE(directory_->CreateFile(name, false, &error)) << name;
    EXPECT_TRUE(error.failed()) << name;
  }
  EXPECT_EQ(testing::EntryCount(path_), 0u);
  EXPECT_EQ(testing::EntryCount(drive_.path()), 1u);
}

// Another user who may write to the drive's directories tries to move ours away and put another
// directory in its place. Windows refuses to rename a held directory or the directories above it.
// Where a system does it anyway (Wine renames the parents), the move is told, no file goes to the
// name's new holder, and that holder is never removed.
TEST_F(WindowsStorageTest, AHeldDirectoryStaysOrItsMoveIsToldAndNothingGoesToTheNewHolder) {
  SysError error;
  const std::string parent = drive_ / "parent";
  ASSERT_TRUE(CreateDirectoryW(WidePath(parent).c_str(), nullptr));
  auto directory = storage_.CreateTestDirectory(parent, "KorvanelMOVE", &error);
  ASSERT_TRUE(directory) << error.description;
  const std::string path = parent + "/KorvanelMOVE";
  EXPECT_FALSE(MoveFileW(WidePath(path).c_str(), WidePath(drive_ / "moved").c_str())) << "the directory itself";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  const std::string parent_moved = drive_ / "parent.moved";
  if (!MoveFileW(WidePath(parent).c_str(), WidePath(parent_moved).c_str())) {
    EXPECT_FALSE(directory->CheckInPlace());
    EXPECT_FALSE(directory->Remove());
    return;
  }
  ASSERT_TRUE(RunningUnderWine()) << "Windows let the parent of a held directory be renamed";
  ASSERT_TRUE(CreateDirectoryW(WidePath(parent).c_str(), nullptr));  // someone else's, in our place
  ASSERT_TRUE(CreateDirectoryW(WidePath(path).c_str(), nullptr));
  const SysError told = directory->CheckInPlace();
  EXPECT_NE(told.description.find("moved or replaced by someone else"), std::string::npos) << told.description;

  EXPECT_FALSE(directory->CreateFile("Korvanel1.tmp", false, &error));
  EXPECT_NE(error.description.find("the directory was moved"), std::string::npos) << error.description;
  EXPECT_EQ(testing::EntryCount(path), 0u) << "the file went to the name's new holder";
  EXPECT_EQ(testing::EntryCount(parent_moved + "/KorvanelMOVE"), 0u);
  EXPECT_TRUE(directory->Remove().failed());
  EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(path)));
}

// A scanner, indexer or sync client opens what appears on the drive and holds it for a moment (with
// delete sharing, as they do). Its hold must neither leave the test directory behind nor fail the
// run: the name goes at once where the system offers POSIX deletes (Windows 10 1709 and later, on
// NTFS); elsewhere, and under Wine, it stays "delete pending" until the scanner lets go, and the
// directory's removal waits a moment for that.
HANDLE OpenLikeAScanner(const std::string& path) {
  return CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(WindowsStorageTest, AFileAScannerHoldsGoesAndTheDirectoryFollowsOnceTheScannerLetsGo) {
  MakeFile("held.tmp", 1);
  const HANDLE scanner = OpenLikeAScanner(Path("held.tmp"));
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(directory_->RemoveFile("held.tmp"));
  std::thread letting_go([scanner] {
    Sleep(300);
    CloseHandle(scanner);
  });
  const SysError removed = directory_->Remove();
  letting_go.join();
  EXPECT_FALSE(removed) << removed.description;
  directory_.reset();
  EXPECT_EQ(testing::EntryCount(drive_.path()), 0u);
}

TEST_F(WindowsStorageTest, ADirectoryAScannerDoesNotLetGoOfNamesWhatItStillHolds) {
  MakeFile("stuck.tmp", 1);
  const HANDLE scanner = OpenLikeAScanner(Path("stuck.tmp"));
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(directory_->RemoveFile("stuck.tmp"));
  const SysError removed = directory_->Remove();
  CloseHandle(scanner);
  if (!removed) {
    ASSERT_FALSE(RunningUnderWine()) << "Wine keeps a deleted name until its last handle closes";
    return;  // POSIX semantics: the name went at once
  }
  EXPECT_EQ(removed.code, static_cast<int>(ERROR_DIR_NOT_EMPTY));
  EXPECT_NE(removed.description.find("it still holds stuck.tmp"), std::string::npos) << removed.description;
  directory_.reset();
  EXPECT_TRUE(RemoveDirectoryW(WidePath(path_).c_str()));
}

// Windows carries out overlapped writes to encrypted files one at a time; the run must say so.
TEST_F(WindowsStorageTest, AnEncryptedDirectoryIsTold) {
  EXPECT_FALSE(directory_->Encrypted());
  const std::string parent = drive_ / "encrypted";
  ASSERT_TRUE(CreateDirectoryW(WidePath(parent).c_str(), nullptr));
  const bool encrypted = EncryptFileW(WidePath(parent).c_str()) &&
                         (GetFileAttributesW(WidePath(parent).c_str()) & FILE_ATTRIBUTE_ENCRYPTED) != 0;
  if (!encrypted) {
    GTEST_SKIP() << "no EFS here (error " << GetLastError() << "): it needs Windows with EFS on NTFS; Wine has none";
  }
  SysError error;
  auto directory = storage_.CreateTestDirectory(parent, "KorvanelEFS", &error);
  ASSERT_TRUE(directory) << error.description;
  EXPECT_TRUE(directory->Encrypted());
  EXPECT_FALSE(directory->Remove());
}

TEST_F(WindowsStorageTest, ListingsTellDirectoriesFilesAndTheirSizes) {
  MakeFile("Korvanel00000001.tmp", 3);
  std::vector<DirectoryEntry> entries;
  ASSERT_FALSE(storage_.ListDirectory(drive_.path(), &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "KorvanelTEST");
  EXPECT_EQ(entries[0].kind, DirectoryEntry::Kind::kDirectory);
  ASSERT_FALSE(storage_.ListDirectory(path_, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Korvanel00000001.tmp");
  EXPECT_EQ(entries[0].kind, DirectoryEntry::Kind::kRegularFile);
  EXPECT_EQ(entries[0].size_bytes, 3 * kBlock);
  EXPECT_TRUE(storage_.ListDirectory(drive_ / "missing", &entries).failed());
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(directory_->RemoveFile("Korvanel00000001.tmp"));
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
  EXPECT_FALSE(storage_.FreeBytes(drive_.path(), &free_bytes));
  EXPECT_GT(free_bytes, 0u);
  EXPECT_TRUE(storage_.FreeBytes(drive_ / "missing/deeper", &free_bytes).failed());
  EXPECT_GE(directory_->DirectIoAlignment("Korvanel1.tmp"), 4096u);
  EXPECT_FALSE(storage_.IsRamDisk(drive_.path()));
}

TEST_F(WindowsStorageTest, QueuedRequestsCompleteOnThisThreadWithTheirSlots) {
  const std::string name = "queued.tmp";
  MakeFile(name, 64);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = directory_->OpenQueued(name, {false, buffer.data(), kBlock, 8}, true, &error);
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
  const std::string name = "short.tmp";
  MakeFile(name, 1);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = directory_->OpenQueued(name, {false, buffer.data(), kBlock, 2}, true, &error);
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
  const std::string name = "cancel.tmp";
  MakeFile(name, 256);
  AlignedBuffer buffer = storage_.NewTransferBuffer(kBlock, kBlock);
  SysError error;
  auto file = directory_->OpenQueued(name, {false, buffer.data(), kBlock, 64}, true, &error);
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
