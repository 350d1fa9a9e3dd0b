#include "engine/test_target.h"

#include <cerrno>
#include <random>

#include "engine/leftovers.h"
#include "engine/status_texts.h"

namespace korvanel {
namespace {

// The test directory's name comes from the tick, so it is predictable: on a shared directory
// someone else may hold it already, and whoever holds the next names can hold all of them. The
// run takes the next few tick names, then names nobody can predict, and never uses one it did not
// make.
constexpr int kTickNameAttempts = 4;
constexpr int kUnpredictableNameAttempts = 16;

SysError TryDirectoryName(RunContext& run, const std::string& name) {
  TestTarget& target = run.target;
  SysError error;
  target.dir = run.storage.CreateTestDirectory(target.drive_dir, name, &error);
  if (target.dir) target.dir_path = PathInDrive(target.drive_dir, name);
  return error;
}

SysError MakeTestDirectory(RunContext& run) {
  const uint32_t tick = run.clock.TickMs();
  SysError error;
  for (int attempt = 0; attempt < kTickNameAttempts; ++attempt) {
    error = TryDirectoryName(run, TestDirectoryName(tick + static_cast<uint32_t>(attempt)));
    if (!error || error.code != EEXIST) return error;
  }
  std::random_device unpredictable;
  for (int attempt = 0; attempt < kUnpredictableNameAttempts; ++attempt) {
    error = TryDirectoryName(run, TestDirectoryName(unpredictable()));
    if (!error || error.code != EEXIST) return error;
  }
  return error;
}

// Writes 8 bytes ("QEX-" as UTF-16LE) to a new cached file and removes it again: a read-only or
// write-protected drive fails here, before any memory is taken.
bool ProbeWrite(RunContext& run) {
  TestTarget& target = run.target;
  SysError error;
  auto probe = target.dir->CreateFile(target.file_name, false, &error);
  if (!probe) {
    run.IoErrorBox(kTextCreateFileError, error);
    return false;
  }
  static const char kProbe[8] = {'Q', 0, 'E', 0, 'X', 0, '-', 0};
  error = probe->Write(kProbe, sizeof kProbe, 0);
  probe->Close();
  // A file on this file system says what alignment direct I/O needs; the buffer follows it.
  target.alignment = target.dir->DirectIoAlignment(target.file_name);
  // Should the removal fail, the test file cannot be created under the name and says so.
  target.dir->RemoveFile(target.file_name);
  if (error) {
    run.IoErrorBox(kTextWriteError, error);
    return false;
  }
  return true;
}

bool FillBuffer(RunContext& run) {
  const uint32_t alignment = run.target.alignment < 4096 ? 4096 : run.target.alignment;
  run.target.buffer = run.storage.NewTransferBuffer(kBlockBytes, alignment);
  if (!run.target.buffer) {
    run.PlainErrorBox(kTextMemoryError);
    return false;
  }
  auto* words = reinterpret_cast<uint32_t*>(run.target.buffer.data());
  for (uint32_t i = 0; i < kBlockBytes / 4; ++i) words[i] = run.rng.Next();
  return true;
}

// Writes the whole test file, one 1 MiB block after the other; a stop request ends it quietly.
bool WriteTestFile(RunContext& run) {
  TestTarget& target = run.target;
  SysError error;
  auto file = target.dir->CreateFile(target.file_name, target.unbuffered, &error);
  if (!file) {
    run.IoErrorBox(kTextCreateFileError, error);
    return false;
  }
  target.file_created = true;
  for (uint32_t block = 0; block < target.block_count; ++block) {
    if (!run.keep_running()) {
      file->Close();
      run.flags.keep_running.store(false);
      return false;
    }
    error = file->Write(target.buffer.data(), kBlockBytes, static_cast<uint64_t>(block) * kBlockBytes);
    if (error) {
      file->Close();
      run.IoErrorBox(kTextWriteError, error);
      return false;
    }
  }
  // The fill is not measured: flushing it here keeps its cached metadata and the drive's write cache
  // out of the first measured pass.
  error = file->Flush();
  file->Close();
  if (error) {
    run.IoErrorBox(kTextWriteError, error);
    return false;
  }
  return true;
}

// Too little space is often our own doing: a test directory that an earlier run could not remove.
void ReportDiskFull(RunContext& run) {
  run.ErrorBox(run.Texts()[kTextDiskFull] + LeftoverLines(FindLeftovers(run.storage, run.target.drive_dir)));
}

// What cleanup could not remove stays on the user's drive: the user must learn where.
void ReportNotRemoved(RunContext& run, const std::string& path, const SysError& error) {
  run.ErrorBox(IoErrorText("Could not remove " + path, error.code, error.description));
}

}  // namespace

void PrepareTestTarget(RunContext& run) {
  run.flags.busy.store(true);
  TestTarget& target = run.target;
  const uint32_t size_mib = TestSizeMiB(run.params.test_size_mb);
  target.size_bytes = static_cast<uint64_t>(size_mib) << 20;
  target.block_count = size_mib;
  target.unbuffered = !run.storage.IsRamDisk(target.drive_dir);

  SysError error = MakeTestDirectory(run);
  if (error) {
    run.IoErrorBox(kTextCreateFileError, error);
    return;
  }
  const uint32_t file_tick = run.clock.TickMs();
  target.file_name = TestFileName(file_tick);
  target.file_path = TestFilePath(target.dir_path, file_tick);

  // A failed query goes on to the probe, which then reports what is wrong with the drive.
  uint64_t free_bytes = 0;
  if (!run.storage.FreeBytes(target.drive_dir, &free_bytes) && free_bytes < target.size_bytes) {
    ReportDiskFull(run);
    return;
  }
  if (!ProbeWrite(run)) return;
  if (!FillBuffer(run)) return;
  run.host.PostStatus(run.Texts()[kTextInitialize]);
  // Set before the file exists: on copy-on-write file systems only files created afterwards bypass the cache.
  if (target.unbuffered) target.dir->PrepareForDirectIo();
  if (!WriteTestFile(run)) return;
  // The file went into our directory wherever that is now; but a directory that someone else moved
  // is no longer where the user looks, and the run is not what the user asked for.
  if (SysError moved = target.dir->CheckInPlace()) run.IoErrorBox(kTextCreateFileError, moved);
}

void CleanupTestTarget(RunContext& run) {
  TestTarget& target = run.target;
  target.buffer = AlignedBuffer();
  SysError error;
  if (target.file_created && (error = target.dir->RemoveFile(target.file_name))) {
    ReportNotRemoved(run, target.file_path, error);
  } else if (target.dir && (error = target.dir->Remove())) {
    ReportNotRemoved(run, target.dir_path, error);
  }
  target.dir.reset();
  target.file_created = false;
  run.host.PostEndTag("");
  run.host.PostRunFinished();
  run.flags.keep_running.store(false);
  run.flags.busy.store(false);
}

}  // namespace korvanel
