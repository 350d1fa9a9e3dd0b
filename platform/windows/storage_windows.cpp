// Files for the benchmark on Windows: unbuffered transfers (FILE_FLAG_NO_BUFFERING) with the access
// hints, new files that never open an existing name or follow a link, compression switched off, all
// in a test directory that is held open for the whole run.

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

// <windows.h> maps CreateFile to CreateFileW; in this file it is the TestDirectory call.
#undef CreateFile

#include "common/path_text.h"
#include "platform/storage.h"
#include "platform/windows/handle_paths.h"
#include "platform/windows/large_page_buffer_windows.h"
#include "platform/windows/owner_only_security.h"
#include "platform/windows/queued_file_windows.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/volume_paths.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr uint32_t kPageBytes = 4096;

// Asks the file system to store the file or directory uncompressed; file systems without
// compression refuse, which is as good.
void SwitchCompressionOff(HANDLE handle) {
  USHORT format = COMPRESSION_FORMAT_NONE;
  DWORD returned = 0;
  DeviceIoControl(handle, FSCTL_SET_COMPRESSION, &format, sizeof format, nullptr, 0, &returned, nullptr);
}

DWORD HintFlag(AccessHint hint) {
  return hint == AccessHint::kRandom ? FILE_FLAG_RANDOM_ACCESS : FILE_FLAG_SEQUENTIAL_SCAN;
}

class WindowsBlockFile : public BlockFile {
 public:
  explicit WindowsBlockFile(UniqueHandle file) : file_(std::move(file)) {}

  // The offset travels with the request, so a transfer is one call with no separate positioning.
  SysError Read(void* buffer, uint32_t bytes, uint64_t offset) override {
    OVERLAPPED at = At(offset);
    DWORD done = 0;
    if (!ReadFile(file_.get(), buffer, bytes, &done, &at)) return LastWin32Error();
    return done == bytes ? SysError{} : Win32Error(ERROR_HANDLE_EOF);  // the file was cut under us
  }

  SysError Write(const void* buffer, uint32_t bytes, uint64_t offset) override {
    OVERLAPPED at = At(offset);
    DWORD done = 0;
    if (!WriteFile(file_.get(), buffer, bytes, &done, &at)) return LastWin32Error();
    return done == bytes ? SysError{} : Win32Error(ERROR_DISK_FULL);
  }

  SysError Flush() override { return FlushFileBuffers(file_.get()) ? SysError{} : LastWin32Error(); }

  SysError Close() override {
    const DWORD error = file_.Reset();
    return error ? Win32Error(error) : SysError{};
  }

 private:
  static OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
  }

  UniqueHandle file_;
};

// Exclusive access (share 0), and a link at the name is opened as itself, never followed.
OpenRequest TestFileRequest(DWORD disposition, DWORD flags) {
  return {GENERIC_READ | GENERIC_WRITE, 0, disposition, flags | FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT};
}

class WindowsTestDirectory : public TestDirectory {
 public:
  WindowsTestDirectory(UniqueHandle directory, std::string path)
      : directory_(std::move(directory)), identity_(IdentityOf(directory_.get())), path_(std::move(path)) {}

  std::unique_ptr<BlockFile> CreateFile(const std::string& name, bool unbuffered, SysError* error) override {
    const DWORD flags = unbuffered ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN : 0;
    UniqueHandle file = OpenInDirectory(directory_.get(), WideFromUtf8(name), TestFileRequest(CREATE_NEW, flags), error);
    if (!file) return nullptr;
    SwitchCompressionOff(file.get());
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<BlockFile> OpenFile(const std::string& name, AccessHint hint, bool unbuffered,
                                      SysError* error) override {
    const DWORD flags = HintFlag(hint) | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenInDirectory(directory_.get(), WideFromUtf8(name), TestFileRequest(OPEN_EXISTING, flags), error);
    if (!file) return nullptr;
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<QueuedFile> OpenQueued(const std::string& name, const QueuedTransfer& transfer, bool unbuffered,
                                         SysError* error) override {
    const DWORD flags = FILE_FLAG_OVERLAPPED | FILE_FLAG_RANDOM_ACCESS | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenInDirectory(directory_.get(), WideFromUtf8(name), TestFileRequest(OPEN_EXISTING, flags), error);
    if (!file) return nullptr;
    return NewOverlappedQueuedFile(std::move(file), transfer);
  }

  // The sector size of the volume: unbuffered transfers must be whole sectors at sector offsets.
  uint32_t DirectIoAlignment(const std::string&) override {
    const std::wstring root = VolumeRootOf(WidePath(path_));
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (root.empty() ||
        !GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
      return kPageBytes;
    }
    return std::max<uint32_t>(kPageBytes, bytes_per_sector);
  }

  // Files created in an uncompressed directory start uncompressed.
  void PrepareForDirectIo() override { SwitchCompressionOff(directory_.get()); }

  SysError RemoveFile(const std::string& name) override { return DeleteInDirectory(directory_.get(), WideFromUtf8(name)); }

  // Held without delete sharing, neither the directory nor its parents can be renamed on Windows;
  // this still tells if the name holds something else, and where ours is, where a system does not
  // keep to that (Wine lets the parents be renamed).
  SysError CheckInPlace() override {
    if (directory_ && PathNames(WidePath(path_), directory_.get())) return {};
    std::string description = "the test directory was moved or replaced by someone else";
    const std::string now_at = directory_ ? ReadablePath(directory_.get()) : std::string();
    if (!now_at.empty() && now_at != path_) description += " (it is now " + now_at + ")";
    return DescribedError(ERROR_FILE_INVALID, description);
  }

  // Removing needs a handle with delete access, which the held one lacks so that others may still
  // list the directory: it is let go, and the name opened again must still be our directory.
  // Removing by path alone could remove whatever someone put there.
  SysError Remove() override {
    if (SysError moved = CheckInPlace()) return moved;
    directory_.Reset();
    const UniqueHandle again(CreateFileW(WidePath(path_).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                         nullptr));
    if (!again) return LastWin32Error();
    if (IdentityOf(again.get()) != identity_) {
      return DescribedError(ERROR_FILE_INVALID, "the test directory was replaced by someone else");
    }
    return DeleteOnClose(again.get());
  }

 private:
  UniqueHandle directory_;
  FileIdentity identity_;
  std::string path_;  // where it was made
};

DirectoryEntry::Kind KindOf(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return DirectoryEntry::Kind::kOther;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return DirectoryEntry::Kind::kDirectory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return DirectoryEntry::Kind::kOther;
  return DirectoryEntry::Kind::kRegularFile;
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class WindowsStorage : public Storage {
 public:
  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override {
    ULARGE_INTEGER available{}, total{}, total_free{};
    // What this user may still write: quotas count, where the volume's own free count would not.
    if (!GetDiskFreeSpaceExW(WidePath(dir).c_str(), &available, &total, &total_free)) return LastWin32Error();
    *free_bytes = available.QuadPart;
    return {};
  }

  // Windows RAM disks are block devices with drivers of their own and take unbuffered requests.
  bool IsRamDisk(const std::string&) override { return false; }

  AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) override { return NewVirtualBuffer(bytes, alignment); }

  std::unique_ptr<TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                     SysError* error) override {
    const std::string path = JoinPath(parent, name);
    OwnerOnlySecurity security;
    // Fails on any name that is taken, a link or someone else's directory included.
    if (!CreateDirectoryW(WidePath(path).c_str(), security.get())) {
      *error = LastWin32Error();
      return nullptr;
    }
    // Held without delete sharing until the run ends: nobody can rename or replace it meanwhile.
    // Reading and writing its data is what switching its compression off needs.
    UniqueHandle directory(CreateFileW(WidePath(path).c_str(),
                                       FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_READ_ATTRIBUTES | READ_CONTROL,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!directory) {
      *error = LastWin32Error();
      return nullptr;
    }
    // Between the creation and the opening someone who may write to the parent can swap the name:
    // only our own directory is taken, never a link or theirs.
    BY_HANDLE_FILE_INFORMATION information{};
    const bool ours = GetFileInformationByHandle(directory.get(), &information) &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
                      OwnedByCurrentUser(directory.get());
    if (!ours) {
      *error = SysError::FromErrno(EEXIST);
      return nullptr;
    }
    return std::make_unique<WindowsTestDirectory>(std::move(directory), path);
  }

  SysError ListDirectory(const std::string& dir, std::vector<DirectoryEntry>* entries) override {
    entries->clear();
    WIN32_FIND_DATAW found{};
    const FindHandle find(FindFirstFileExW(WidePath(JoinPath(dir, "*")).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
      // An empty root directory has not even "." and "..".
      return GetLastError() == ERROR_FILE_NOT_FOUND ? SysError{} : LastWin32Error();
    }
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const DirectoryEntry::Kind kind = KindOf(found.dwFileAttributes);
      const uint64_t size = kind == DirectoryEntry::Kind::kRegularFile
                                ? (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow
                                : 0;
      entries->push_back({Utf8FromWide(name), kind, size});
    } while (FindNextFileW(find.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES ? SysError{} : LastWin32Error();
  }
};

}  // namespace

Storage& SystemStorage() {
  static WindowsStorage storage;
  return storage;
}

}  // namespace korvanel::platform
