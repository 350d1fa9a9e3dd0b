// Files for the benchmark on Windows: unbuffered transfers (FILE_FLAG_NO_BUFFERING) with the access
// hints, new files that never open an existing name or follow a link, compression switched off, all
// in a test directory that is held open for the whole run.

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

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
// A scanner, indexer or sync client that has the last file open keeps its name "delete pending"
// until it lets go, and the directory is not empty meanwhile: it is asked again for a moment.
constexpr int kRemoveAttempts = 20;
constexpr auto kRemoveRetryPause = std::chrono::milliseconds(100);

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

// The entries of the directory at `path` (a form the W functions take), without "." and "..".
SysError ListEntries(const std::wstring& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAW found{};
  const FindHandle find(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
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

// What is left in a directory that cannot be removed, for the message: "holds a.tmp, b.tmp".
std::string Remains(const std::wstring& path) {
  std::vector<DirectoryEntry> entries;
  if (ListEntries(path, &entries) || entries.empty()) return {};
  std::string names;
  for (const DirectoryEntry& entry : entries) names += (names.empty() ? "" : ", ") + entry.name;
  return names;
}

// Creates the new directory at `path` and opens it in one step, held without delete sharing: the
// handle is the directory this call made, never one that someone put at the name meanwhile. Reading
// and writing its data is what switching its compression off needs.
UniqueHandle CreateHeldDirectory(const std::wstring& path, SysError* error) {
  const std::wstring nt_path = NtPath(path);
  UNICODE_STRING name{static_cast<USHORT>(nt_path.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(nt_path.size() * sizeof(wchar_t)), const_cast<wchar_t*>(nt_path.c_str())};
  OwnerOnlySecurity security;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr,
                             security.get() != nullptr ? security.get()->lpSecurityDescriptor : nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE directory = nullptr;
  const NTSTATUS created = NtCreateFile(
      &directory, FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE, &attributes,
      &status, nullptr, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
      FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, 0);
  if (created < 0) {
    *error = Win32Error(RtlNtStatusToDosError(created));
    return {};
  }
  return UniqueHandle(directory);
}

// Exclusive access (share 0), and a link at the name is opened as itself, never followed.
OpenRequest TestFileRequest(DWORD disposition, DWORD flags) {
  return {GENERIC_READ | GENERIC_WRITE, 0, disposition, flags | FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT};
}

class WindowsTestDirectory : public TestDirectory {
 public:
  WindowsTestDirectory(UniqueHandle directory, std::string path)
      : directory_(std::move(directory)),
        identity_(IdentityOf(directory_.get())),
        path_(std::move(path)),
        wide_path_(LongCapablePath(WidePath(path_))) {}

  std::unique_ptr<BlockFile> CreateFile(const std::string& name, bool unbuffered, SysError* error) override {
    const DWORD flags = unbuffered ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN : 0;
    UniqueHandle file = OpenInDirectory(Held(), WideFromUtf8(name), TestFileRequest(CREATE_NEW, flags), error);
    if (!file) return nullptr;
    SwitchCompressionOff(file.get());
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<BlockFile> OpenFile(const std::string& name, AccessHint hint, bool unbuffered,
                                      SysError* error) override {
    const DWORD flags = HintFlag(hint) | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenInDirectory(Held(), WideFromUtf8(name), TestFileRequest(OPEN_EXISTING, flags), error);
    if (!file) return nullptr;
    return std::make_unique<WindowsBlockFile>(std::move(file));
  }

  std::unique_ptr<QueuedFile> OpenQueued(const std::string& name, const QueuedTransfer& transfer, bool unbuffered,
                                         SysError* error) override {
    const DWORD flags = FILE_FLAG_OVERLAPPED | FILE_FLAG_RANDOM_ACCESS | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueHandle file = OpenInDirectory(Held(), WideFromUtf8(name), TestFileRequest(OPEN_EXISTING, flags), error);
    if (!file) return nullptr;
    return NewOverlappedQueuedFile(std::move(file), transfer);
  }

  // The sector size of the volume: unbuffered transfers must be whole sectors at sector offsets.
  uint32_t DirectIoAlignment(const std::string&) override {
    const std::wstring root = VolumeRootOf(wide_path_);
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (root.empty() ||
        !GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
      return kPageBytes;
    }
    return std::max<uint32_t>(kPageBytes, bytes_per_sector);
  }

  // Files created in an uncompressed directory start uncompressed.
  void PrepareForDirectIo() override { SwitchCompressionOff(directory_.get()); }

  // Files made in an encrypted directory are encrypted, and Windows then carries out their
  // overlapped writes one at a time.
  bool Encrypted() override {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(directory_.get(), &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_ENCRYPTED) != 0;
  }

  SysError RemoveFile(const std::string& name) override { return DeleteInDirectory(Held(), WideFromUtf8(name)); }

  // Held without delete sharing, neither the directory nor its parents can be renamed on Windows;
  // this still tells if the name holds something else, and where ours is, where a system does not
  // keep to that (Wine lets the parents be renamed).
  SysError CheckInPlace() override {
    if (directory_ && PathNames(wide_path_, directory_.get())) return {};
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
    SysError error;
    for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(kRemoveRetryPause);
      error = RemoveOnce(attempt > 0);
      if (!error || error.code != ERROR_DIR_NOT_EMPTY) return error;
    }
    const std::string remains = Remains(wide_path_);
    if (!remains.empty()) error.description += " (it still holds " + remains + ", held open by another program)";
    return error;
  }

 private:
  HeldDirectory Held() const { return {directory_.get(), wide_path_}; }

  UniqueHandle OpenAgain(DWORD access) const {
    return UniqueHandle(CreateFileW(wide_path_.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr));
  }

  // One try at removing the directory. Windows refuses to delete a directory that is not empty;
  // Wine accepts and then fails to remove it when the handle closes, so the name is looked at again.
  SysError RemoveOnce(bool tried_before) const {
    {
      const UniqueHandle again = OpenAgain(DELETE | FILE_READ_ATTRIBUTES);
      if (!again) {
        const SysError error = LastWin32Error();
        return tried_before && error.Is(ENOENT) ? SysError{} : error;
      }
      if (IdentityOf(again.get()) != identity_) {
        return DescribedError(ERROR_FILE_INVALID, "the test directory was replaced by someone else");
      }
      if (SysError error = DeleteOnClose(again.get())) return error;
    }
    const UniqueHandle still = OpenAgain(FILE_READ_ATTRIBUTES);
    return still && IdentityOf(still.get()) == identity_ ? Win32Error(ERROR_DIR_NOT_EMPTY) : SysError{};
  }

  UniqueHandle directory_;
  FileIdentity identity_;
  std::string path_;        // where it was made, for messages
  std::wstring wide_path_;  // the same for the W functions
};

class WindowsStorage : public Storage {
 public:
  SysError FreeBytes(const std::string& dir, uint64_t* free_bytes) override {
    ULARGE_INTEGER available{}, total{}, total_free{};
    // What this user may still write: quotas count, where the volume's own free count would not.
    const std::wstring path = LongCapablePath(WidePath(dir));
    if (!GetDiskFreeSpaceExW(path.c_str(), &available, &total, &total_free)) return LastWin32Error();
    *free_bytes = available.QuadPart;
    return {};
  }

  // Windows RAM disks are block devices with drivers of their own and take unbuffered requests.
  bool IsRamDisk(const std::string&) override { return false; }

  AlignedBuffer NewTransferBuffer(size_t bytes, size_t alignment) override { return NewVirtualBuffer(bytes, alignment); }

  std::unique_ptr<TestDirectory> CreateTestDirectory(const std::string& parent, const std::string& name,
                                                     SysError* error) override {
    const std::string path = JoinPath(parent, name);
    // Fails on any name that is taken, a link or someone else's directory included.
    UniqueHandle directory = CreateHeldDirectory(WidePath(path), error);
    if (!directory) return nullptr;
    return std::make_unique<WindowsTestDirectory>(std::move(directory), path);
  }

  SysError ListDirectory(const std::string& dir, std::vector<DirectoryEntry>* entries) override {
    return ListEntries(LongCapablePath(WidePath(dir)), entries);
  }
};

}  // namespace

Storage& SystemStorage() {
  static WindowsStorage storage;
  return storage;
}

}  // namespace korvanel::platform
