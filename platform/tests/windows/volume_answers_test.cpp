// Volumes that Wine cannot make, told by recorded answers in the place of the system's: a FAT or
// exFAT stick and a network share, which keep no owners of their own (everything reads as
// Everyone's, or as the server's account); a RAM disk, WinFsp or DefineDosDevice volume, whose
// paths the system cannot tell because its mount manager does not know them. The files, directories
// and transfers are real; only these answers are recorded.

#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

// <windows.h> maps ReplaceFile to ReplaceFileW; here it is the call under test.
#undef ReplaceFile

#include "common/path_text.h"
#include "common/testing/scratch.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/storage.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/volume_query.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

class RecordedVolume : public VolumeQuery {
 public:
  bool keeps_owners = true;
  bool owner_is_user = true;
  std::set<DWORD> unknown_forms;  // path forms the system cannot tell on this volume

  std::wstring FinalPathName(HANDLE handle, DWORD form) override {
    return unknown_forms.count(form) ? std::wstring() : SystemVolumeQuery().FinalPathName(handle, form);
  }
  bool KeepsOwners(HANDLE) override { return keeps_owners; }
  bool OwnerIsCurrentUser(HANDLE) override { return owner_is_user; }
};

// FAT and exFAT: no owners kept, and every object reads as Everyone's.
RecordedVolume FatStick() {
  RecordedVolume volume;
  volume.keeps_owners = false;
  volume.owner_is_user = false;
  return volume;
}

std::wstring OwnerSid(PSECURITY_DESCRIPTOR descriptor) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  wchar_t* text = nullptr;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr ||
      !ConvertSidToStringSidW(owner, &text)) {
    return L"";
  }
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

std::wstring OwnerOf(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(WidePath(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, nullptr, nullptr,
                            nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return L"";
  }
  std::wstring sid = OwnerSid(descriptor);
  LocalFree(descriptor);
  return sid;
}

class VolumeAnswersTest : public ::testing::Test {
 protected:
  std::string WriteIni(const std::string& content) {
    const std::string path = drive_ / "Korvanel.ini";
    std::ofstream(PathFromUtf8(path), std::ios::binary) << content;
    return path;
  }

  // A test directory's whole life: files made, written, read, queued, removed, and the directory
  // removed; nothing may be left on the drive.
  void RunThroughATestDirectory() {
    Storage& storage = SystemStorage();
    SysError error;
    auto directory = storage.CreateTestDirectory(drive_.path(), "Korvanel0000A1B2", &error);
    ASSERT_TRUE(directory) << error.code << " " << error.description;
    auto file = directory->CreateFile("Korvanel0000A1B3.tmp", true, &error);
    ASSERT_TRUE(file) << error.description;
    AlignedBuffer buffer = storage.NewTransferBuffer(4096, 4096);
    std::memset(buffer.data(), 7, 4096);
    ASSERT_FALSE(file->Write(buffer.data(), 4096, 0));
    ASSERT_FALSE(file->Close());
    auto again = directory->OpenFile("Korvanel0000A1B3.tmp", AccessHint::kRandom, true, &error);
    ASSERT_TRUE(again) << error.description;
    std::memset(buffer.data(), 0, 4096);
    ASSERT_FALSE(again->Read(buffer.data(), 4096, 0));
    EXPECT_EQ(buffer.data()[4095], 7);
    ASSERT_FALSE(again->Close());
    auto queued = directory->OpenQueued("Korvanel0000A1B3.tmp", {false, buffer.data(), 4096, 1}, true, &error);
    ASSERT_TRUE(queued) << error.description;
    ASSERT_FALSE(queued->Close());
    EXPECT_FALSE(directory->CheckInPlace());
    EXPECT_FALSE(directory->RemoveFile("Korvanel0000A1B3.tmp"));
    EXPECT_FALSE(directory->Remove());
    EXPECT_EQ(testing::EntryCount(drive_.path()), 0u) << "something was left on the drive";
  }

  testing::ScratchDir drive_;
};

TEST_F(VolumeAnswersTest, OnAVolumeWithoutOwnersTheSettingsFileBesideTheProgramIsReplaced) {
  const std::string ini = WriteIni("[Program]\r\nlng=3\r\n");
  RecordedVolume ntfs_of_someone_else;
  ntfs_of_someone_else.owner_is_user = false;
  {
    const ScopedVolumeQuery answers(ntfs_of_someone_else);
    EXPECT_EQ(CheckReplaceable(ini).description, "the file belongs to another user");
    EXPECT_TRUE(ReplaceFile(ini, {"[Program]\r\nlng=5\r\n"}).failed());
  }
  EXPECT_EQ(testing::ReadWholeFile(ini), "[Program]\r\nlng=3\r\n") << "another user's file was replaced";

  RecordedVolume stick = FatStick();
  const ScopedVolumeQuery answers(stick);
  EXPECT_FALSE(CheckReplaceable(ini));
  const SysError replaced = ReplaceFile(ini, {"[Program]\r\nlng=5\r\n"});
  ASSERT_FALSE(replaced) << replaced.description;
  EXPECT_EQ(testing::ReadWholeFile(ini), "[Program]\r\nlng=5\r\n");
  EXPECT_EQ(testing::EntryCount(drive_.path()), 1u) << "a temporary file was left beside it";
}

TEST_F(VolumeAnswersTest, OnAVolumeWithoutOwnersThePrivateDirectoryIsUsed) {
  RecordedVolume ntfs_of_someone_else;
  ntfs_of_someone_else.owner_is_user = false;
  {
    const ScopedVolumeQuery answers(ntfs_of_someone_else);
    const PrivateFile refused = WritePrivateTempFile("volume-answers.txt", {"x"});
    EXPECT_NE(refused.error.description.find("belongs to another user"), std::string::npos)
        << refused.error.description;
  }
  RecordedVolume share = FatStick();  // a network share: the server's account owns everything
  const ScopedVolumeQuery answers(share);
  const PrivateFile written = WritePrivateTempFile("volume-answers.txt", {"written"});
  ASSERT_FALSE(written.error) << written.error.description;
  EXPECT_EQ(testing::ReadWholeFile(written.path), "written");
  std::filesystem::remove(PathFromUtf8(written.path));
}

// The test directory is ours because this run made it and holds it from that moment on; what its
// owner reads as does not matter. A FAT stick used to refuse every name, leaving an empty directory
// for each, and end with a false "already exists".
TEST_F(VolumeAnswersTest, ATestDirectoryOnAFatStickIsMadeUsedAndRemoved) {
  RecordedVolume stick = FatStick();
  const ScopedVolumeQuery answers(stick);
  RunThroughATestDirectory();
}

TEST_F(VolumeAnswersTest, ATestDirectoryWhoseOwnerReadsAsSomeoneElseIsStillOurs) {
  RecordedVolume elevated_leftovers;
  elevated_leftovers.owner_is_user = false;
  const ScopedVolumeQuery answers(elevated_leftovers);
  RunThroughATestDirectory();
}

// ImDisk, OSFMount, WinFsp and DefineDosDevice volumes: the mount manager does not know them, so
// the system cannot give their paths in the DOS or GUID form. The device form is tried next (which
// Wine cannot open again), then the path the directory was made at, checked by its file id.
TEST_F(VolumeAnswersTest, ARamDiskWhosePathsTheSystemCannotTellIsMeasured) {
  RecordedVolume ram_disk;
  ram_disk.unknown_forms = {VOLUME_NAME_DOS, VOLUME_NAME_GUID};
  {
    const ScopedVolumeQuery answers(ram_disk);
    RunThroughATestDirectory();
  }
  ram_disk.unknown_forms.insert(VOLUME_NAME_NT);
  const ScopedVolumeQuery answers(ram_disk);
  RunThroughATestDirectory();
  // The settings file on such a volume too.
  const std::string ini = WriteIni("[Program]\r\n");
  const SysError replaced = ReplaceFile(ini, {"[Program]\r\nlng=1\r\n"});
  EXPECT_FALSE(replaced) << replaced.description;
  EXPECT_EQ(testing::ReadWholeFile(ini), "[Program]\r\nlng=1\r\n");
}

// An elevated run's token gives new objects to the Administrators group unless they name an owner;
// a later normal run would then find its own settings and directories belonging to someone else.
TEST(OwnerOnlySecurityTest, WhatKorvanelCreatesNamesTheUserAsItsOwner) {
  const std::wstring user = CurrentUserSid();
  ASSERT_FALSE(user.empty());
  for (const auto access : {OwnerOnlySecurity::Access::kUserOnly, OwnerOnlySecurity::Access::kInherited}) {
    OwnerOnlySecurity security(access);
    ASSERT_NE(security.get(), nullptr);
    EXPECT_EQ(OwnerSid(security.get()->lpSecurityDescriptor), user);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(security.get()->lpSecurityDescriptor, &present, &dacl, &defaulted));
    // A replacement file takes its rules from its directory (or keeps the old file's).
    EXPECT_EQ(present != FALSE, access == OwnerOnlySecurity::Access::kUserOnly);
  }

  testing::ScratchDir drive;
  SysError error;
  auto directory = SystemStorage().CreateTestDirectory(drive.path(), "Korvanel0000C0DE", &error);
  ASSERT_TRUE(directory) << error.description;
  EXPECT_EQ(OwnerOf(drive / "Korvanel0000C0DE"), user);
  EXPECT_FALSE(directory->Remove());
  const std::string ini = drive / "Korvanel.ini";
  ASSERT_FALSE(ReplaceFile(ini, {"[Program]\r\n"}));
  EXPECT_EQ(OwnerOf(ini), user);
}

}  // namespace
}  // namespace korvanel::platform
