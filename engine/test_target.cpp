#include "engine/test_target.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/path_text.h"

namespace korvanel {
namespace {

// The test directory's name comes from the tick, so it is predictable: on a shared directory
// someone else may hold it already. The run then takes the next free name and never uses theirs.
constexpr int kDirectoryAttempts = 64;

std::string HexName(const char* prefix, uint32_t tick) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%08X", prefix, tick);
  return name;
}

SysError MakeTestDirectory(RunContext& run) {
  TestTarget& target = run.target;
  uint32_t tick = run.clock.TickMs();
  SysError error;
  for (int attempt = 0; attempt < kDirectoryAttempts; ++attempt, ++tick) {
    target.dir_path = TestDirectoryPath(target.drive_dir, tick);
    error = run.storage.CreatePrivateDirectory(target.dir_path);
    if (!error) {
      target.dir_created = true;
      return error;
    }
    if (!error.Is(EEXIST)) return error;
  }
  return error;
}

// Writes 8 bytes ("QEX-" as UTF-16LE) to a new cached file and removes it again: a read-only or
// write-protected drive fails here, before any memory is taken.
bool ProbeWrite(RunContext& run) {
  SysError error;
  auto probe = run.storage.CreateFile(run.target.file_path, false, &error);
  if (!probe) {
    run.IoErrorBox(kTextCreateFileError, error, "creating the probe file " + run.target.file_path);
    return false;
  }
  static const char kProbe[8] = {'Q', 0, 'E', 0, 'X', 0, '-', 0};
  error = probe->Write(kProbe, sizeof kProbe, 0);
  probe->Close();
  // A file on this file system says what alignment direct I/O needs; the buffer follows it.
  run.target.alignment = run.storage.DirectIoAlignment(run.target.file_path);
  run.storage.RemoveFile(run.target.file_path);
  if (error) {
    run.IoErrorBox(kTextWriteError, error, "writing the probe file " + run.target.file_path);
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
  auto file = run.storage.CreateFile(target.file_path, target.unbuffered, &error);
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

}  // namespace

std::string TestDirectoryPath(const std::string& drive_dir, uint32_t tick) {
  return JoinPath(drive_dir, HexName("Korvanel", tick));
}

std::string TestFilePath(const std::string& dir_path, uint32_t tick) {
  return JoinPath(dir_path, HexName("Korvanel", tick) + ".tmp");
}

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
  target.file_path = TestFilePath(target.dir_path, run.clock.TickMs());

  // A failed query goes on to the probe, which then reports what is wrong with the drive.
  uint64_t free_bytes = 0;
  if (!run.storage.FreeBytes(target.drive_dir, &free_bytes) && free_bytes < target.size_bytes) {
    run.PlainErrorBox(kTextDiskFull, FreeSpaceShortage(target.drive_dir, free_bytes, size_mib));
    return;
  }
  if (!ProbeWrite(run)) return;
  if (!FillBuffer(run)) return;
  run.host.PostStatus(run.Texts()[kTextInitialize]);
  // Set before the file exists: on copy-on-write file systems only files created afterwards bypass the cache.
  if (target.unbuffered) run.storage.PrepareForDirectIo(target.dir_path);
  WriteTestFile(run);
}

void CleanupTestTarget(RunContext& run) {
  TestTarget& target = run.target;
  target.buffer = AlignedBuffer();
  if (target.file_created) run.storage.RemoveFile(target.file_path);
  if (target.dir_created) run.storage.RemoveDirectory(target.dir_path);
  target.file_created = false;
  target.dir_created = false;
  run.host.PostEndTag("");
  run.host.PostRunFinished();
  run.flags.keep_running.store(false);
  run.flags.busy.store(false);
}

}  // namespace korvanel
