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
  // The path of the name tried, so a failure can say which directory could not be made.
  target.dir_path = PathInDrive(target.drive_dir, name);
  target.dir = run.storage.CreateTestDirectory(target.drive_dir, name, &error);
  return error;
}

SysError MakeTestDirectory(RunContext& run) {
  const uint32_t tick = run.clock.TickMs();
  SysError error;
  for (int attempt = 0; attempt < kTickNameAttempts; ++attempt) {
    error = TryDirectoryName(run, TestDirectoryName(tick + static_cast<uint32_t>(attempt)));
    if (!error || !error.Is(EEXIST)) return error;
  }
  std::random_device unpredictable;
  for (int attempt = 0; attempt < kUnpredictableNameAttempts; ++attempt) {
    error = TryDirectoryName(run, TestDirectoryName(unpredictable()));
    if (!error || !error.Is(EEXIST)) return error;
  }
  return error;
}

// Writes 8 bytes ("QEX-" as UTF-16LE) to a new cached file and removes it again: a read-only or
// write-protected drive fails here, before any memory is taken.
bool ProbeWrite(RunContext& run) {
  TestTarget& target = run.target;
  SysError error;
  auto probe = target.dir->CreateFile(target.probe_name, false, &error);
  if (!probe) {
    run.IoErrorBox(kTextCreateFileError, error, "creating the probe file " + target.probe_path);
    return false;
  }
  static const char kProbe[8] = {'Q', 0, 'E', 0, 'X', 0, '-', 0};
  error = probe->Write(kProbe, sizeof kProbe, 0);
  probe->Close();
  // A file on this file system says what alignment direct I/O needs; the buffer follows it.
  target.alignment = target.dir->DirectIoAlignment(target.probe_name);
  target.probe_left = target.dir->RemoveFile(target.probe_name).failed();
  if (error) {
    run.IoErrorBox(kTextWriteError, error, "writing the probe file " + target.probe_path);
    return false;
  }
  return true;
}

bool FillBuffer(RunContext& run) {
  const uint32_t alignment = run.target.alignment < 4096 ? 4096 : run.target.alignment;
  run.target.buffer = run.storage.NewTransferBuffer(kBlockBytes, alignment);
  if (!run.target.buffer) {
    run.PlainErrorBox(kTextMemoryError, "allocating the 1 MiB transfer buffer");
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
    run.IoErrorBox(kTextCreateFileError, error, run.OnTestFile("creating"));
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
      run.IoErrorBox(kTextWriteError, error, run.OnTestFile("writing"));
      return false;
    }
  }
  // The fill is not measured: flushing it here keeps its cached metadata and the drive's write cache
  // out of the first measured pass.
  error = file->Flush();
  file->Close();
  if (error) {
    run.IoErrorBox(kTextWriteError, error, run.OnTestFile("flushing"));
    return false;
  }
  return true;
}

std::string FreeSpaceShortage(const std::string& drive_dir, uint64_t free_bytes, uint32_t needed_mib) {
  return "checking the free space in " + drive_dir + ": " + std::to_string(free_bytes >> 20) + " MiB free, " +
         std::to_string(needed_mib) + " MiB needed";
}

// Too little space is often our own doing: a test directory that an earlier run could not remove.
void ReportDiskFull(RunContext& run, uint64_t free_bytes, uint32_t needed_mib) {
  run.ErrorBox(run.Texts()[kTextDiskFull] + LeftoverLines(FindLeftovers(run.storage, run.target.drive_dir)),
               FreeSpaceShortage(run.target.drive_dir, free_bytes, needed_mib));
}

// What cleanup could not remove stays on the user's drive: the user must learn where.
void ReportNotRemoved(RunContext& run, const std::string& path, const SysError& error) {
  run.ErrorBox(IoErrorText("Could not remove " + path, error.code, error.description), "removing " + path);
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
    run.IoErrorBox(kTextCreateFileError, error, "creating the test directory " + target.dir_path);
    return;
  }
  const uint32_t file_tick = run.clock.TickMs();
  target.file_name = TestFileName(file_tick);
  target.file_path = TestFilePath(target.dir_path, file_tick);
  target.probe_name = TestFileName(file_tick + 1);
  target.probe_path = TestFilePath(target.dir_path, file_tick + 1);
  // Windows carries out overlapped writes to an encrypted file one at a time.
  target.encrypted = target.dir->Encrypted();
  if (target.encrypted) run.host.PostNotice(kEncryptedNotice);

  // A failed query goes on to the probe, which then reports what is wrong with the drive.
  uint64_t free_bytes = 0;
  if (!run.storage.FreeBytes(target.drive_dir, &free_bytes) && free_bytes < target.size_bytes) {
    ReportDiskFull(run, free_bytes, size_mib);
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
  if (SysError moved = target.dir->CheckInPlace()) {
    run.IoErrorBox(kTextCreateFileError, moved, "checking the test directory " + target.dir_path);
  }
}

void CleanupTestTarget(RunContext& run) {
  TestTarget& target = run.target;
  target.buffer = AlignedBuffer();
  SysError error;
  if (target.probe_left) target.dir->RemoveFile(target.probe_name);
  if (target.file_created && (error = target.dir->RemoveFile(target.file_name))) {
    ReportNotRemoved(run, target.file_path, error);
  } else if (target.dir && (error = target.dir->Remove())) {
    ReportNotRemoved(run, target.dir_path, error);
  }
  target.dir.reset();
  target.file_created = false;
  target.probe_left = false;
  run.flags.keep_running.store(false);
  run.flags.busy.store(false);
}

}  // namespace korvanel
