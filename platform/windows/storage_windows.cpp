// Files for the benchmark on Windows: unbuffered transfers (FILE_FLAG_NO_BUFFERING) with the access
// hints, new files that never open an existing name or follow a link, compression switched off.

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

// <windows.h> maps these names to its W functions; in this file they are the Storage interface's.
#undef CreateFile
#undef RemoveDirectory

#include "platform/storage.h"
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

// Exclusive access (share 0), and a link at the name is opened as itself, never followed.
UniqueHandle OpenTestFile(const std::string& path, DWORD disposition, DWORD flags, SysError* error) {
  UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                                flags | FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) *error = LastWin32Error();
  return file;
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

  uint32_t DirectIoAlignment(const std::string& path) override {
    const std::wstring root = VolumeRootOf(WidePath(path));
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (root.empty() ||
        !GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
      return kPageBytes;
    }
    return std::max<uint32_t>(kPageBytes, bytes_per_sector);
  }

  AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) override { return NewVirtualBuffer(bytes, alignment); }

  SysError CreatePrivateDirectory(const std::string& path) override {
    OwnerOnlySecurity security;
    return CreateDirectoryW(WidePath(path).c_str(), security.get()) ? SysError{} : LastWin32Error();
  }

  void PrepareForDirectIo(const std::string& dir) override {
    // Files created in an uncompressed directory start uncompressed.
    UniqueHandle directory(CreateFileW(WidePath(dir).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (directory) SwitchCompressionOff(directory.get());
  }

  std::unique_ptr<BlockFile> CreateFile(const std::string& path, bool unbuffered, SysError* error) override {
    const DWORD flags = unbuffered ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN : 0;
    UniqueHandle file = OpenTestFile(path, CREATE_NEW, flags, error);
    if (!file) return nullptr;
    SwitchCompressionOff(file.get());
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<BlockFile> OpenFile(const std::string& path, AccessHint hint, bool unbuffered,
                                      SysError* error) override {
    const DWORD flags = HintFlag(hint) | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenTestFile(path, OPEN_EXISTING, flags, error);
    if (!file) return nullptr;
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<QueuedFile> OpenQueued(const std::string& path, const QueuedTransfer& transfer, bool unbuffered,
                                         SysError* error) override {
    const DWORD flags = FILE_FLAG_OVERLAPPED | FILE_FLAG_RANDOM_ACCESS | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenTestFile(path, OPEN_EXISTING, flags, error);
    if (!file) return nullptr;
    return NewOverlappedQueuedFile(std::move(file), transfer);
  }

  void RemoveFile(const std::string& path) override { DeleteFileW(WidePath(path).c_str()); }
  void RemoveDirectory(const std::string& path) override { RemoveDirectoryW(WidePath(path).c_str()); }
};

}  // namespace

Storage& SystemStorage() {
  static WindowsStorage storage;
  return storage;
}

}  // namespace korvanel::platform
