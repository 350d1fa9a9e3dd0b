// korvanel-queued-bench.exe DIR [SECONDS] [MIB]: the queued test's 4 KB requests with 64 in flight,
// taken two ways on the same file, for a measurement on real hardware.
//
// - completion routines: what the benchmark does. Each request's completion is an APC that runs on
//   the one benchmark thread inside its alertable wait and starts the successor; the thread takes
//   one APC per I/O, so on a very fast NVMe disk the thread, not the disk, may set the ceiling.
// - completion port: the same requests, their completions fetched in batches from an I/O completion
//   port (GetQueuedCompletionStatusEx), still on one thread.
//
// Per way and direction it prints the I/Os per second and the process's CPU time (user and kernel)
// per I/O, then the port's figures relative to the routines'. A file of MIB MiB (default 1024) is
// written in DIR first, unbuffered, and removed with its directory at the end; each way runs SECONDS
// (default 5) per direction. Under Wine the figures mean nothing: Wine caches "unbuffered" files and
// carries out overlapped requests one at a time.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

// <windows.h> maps CreateFile to CreateFileW; here the TestDirectory call is meant too.
#undef CreateFile

#include "common/path_text.h"
#include "platform/console.h"
#include "platform/storage.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

constexpr uint32_t kBlock = 4096;
constexpr uint32_t kDepth = 64;
constexpr uint32_t kFillBlock = 1u << 20;

struct Figures {
  uint64_t ios = 0;
  double seconds = 0;
  double cpu_seconds = 0;
  double Iops() const { return seconds > 0 ? ios / seconds : 0; }
  double CpuMicrosecondsPerIo() const { return ios > 0 ? cpu_seconds * 1e6 / ios : 0; }
};

double ProcessCpuSeconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& time) { return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;  // 100 ns ticks
}

// Times one way of keeping the requests in flight: `run` returns the I/Os it completed.
Figures Measure(const std::function<uint64_t()>& run) {
  const double cpu_before = ProcessCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  Figures figures;
  figures.ios = run();
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.cpu_seconds = ProcessCpuSeconds() - cpu_before;
  return figures;
}

class Offsets {
 public:
  explicit Offsets(uint64_t file_bytes) : blocks_(file_bytes / kBlock) {}
  uint64_t Next() { return generator_() % blocks_ * kBlock; }

 private:
  uint64_t blocks_;
  std::mt19937_64 generator_{std::random_device{}()};
};

// The benchmark's own way: the queued file of the storage layer.
uint64_t WithCompletionRoutines(TestDirectory& directory, const std::string& name, bool write, void* buffer,
                                uint64_t file_bytes, std::chrono::duration<double> length) {
  SysError error;
  std::unique_ptr<QueuedFile> file = directory.OpenQueued(name, {write, buffer, kBlock, kDepth}, true, &error);
  if (!file) {
    std::fprintf(stderr, "cannot open the file for queued requests: %s\n", error.description.c_str());
    std::exit(1);
  }
  Offsets offsets(file_bytes);
  const auto end = std::chrono::steady_clock::now() + length;
  uint64_t completed = 0;
  uint32_t in_flight = 0;
  for (uint32_t slot = 0; slot < kDepth; ++slot) in_flight += !file->Start(slot, offsets.Next());
  // Asked at each completion, as the benchmark asks its window: one alertable wait may run the
  // routines of requests started within it.
  while (in_flight > 0) {
    uint32_t handled = 0;
    file->Wait(1000, [&](const Completion& done) {
      --in_flight;
      if (done.result > 0) ++completed;
      if (std::chrono::steady_clock::now() < end) in_flight += !file->Start(done.slot, offsets.Next());
    }, &handled);
  }
  if (write) file->Flush();
  file->Close();
  return completed;
}

// The same requests, their completions taken from a completion port in batches.
uint64_t WithCompletionPort(const std::wstring& path, bool write, void* buffer, uint64_t file_bytes,
                            std::chrono::duration<double> length) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED | FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS,
                                      nullptr));
  const UniqueHandle port(file ? CreateIoCompletionPort(file.get(), nullptr, 0, 1) : nullptr);
  if (!port) {
    std::fprintf(stderr, "cannot open the file on a completion port (error %lu)\n", GetLastError());
    std::exit(1);
  }
  std::vector<OVERLAPPED> slots(kDepth);
  Offsets offsets(file_bytes);
  uint32_t in_flight = 0;
  const auto start = [&](OVERLAPPED& slot) {
    slot = OVERLAPPED{};
    const uint64_t offset = offsets.Next();
    slot.Offset = static_cast<DWORD>(offset);
    slot.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const BOOL done = write ? WriteFile(file.get(), buffer, kBlock, nullptr, &slot)
                            : ReadFile(file.get(), buffer, kBlock, nullptr, &slot);
    // Finished at once or pending: either way its completion comes through the port.
    if (done || GetLastError() == ERROR_IO_PENDING) ++in_flight;
  };
  const auto end = std::chrono::steady_clock::now() + length;
  uint64_t completed = 0;
  for (OVERLAPPED& slot : slots) start(slot);
  std::vector<OVERLAPPED_ENTRY> entries(kDepth);
  while (in_flight > 0) {
    ULONG count = 0;
    if (!GetQueuedCompletionStatusEx(port.get(), entries.data(), kDepth, &count, 1000, FALSE)) continue;
    for (ULONG i = 0; i < count; ++i) {
      --in_flight;
      if (entries[i].dwNumberOfBytesTransferred > 0) ++completed;
      if (std::chrono::steady_clock::now() < end) start(*entries[i].lpOverlapped);
    }
  }
  if (write) FlushFileBuffers(file.get());
  return completed;
}

void Print(const char* way, const char* direction, const Figures& figures) {
  std::printf("%-20s %-5s %10.0f IOPS  %7.2f us CPU per I/O  (%llu I/Os in %.2f s)\n", way, direction,
              figures.Iops(), figures.CpuMicrosecondsPerIo(), static_cast<unsigned long long>(figures.ios),
              figures.seconds);
}

void WriteTestFile(TestDirectory& directory, const std::string& name, Storage& storage, uint32_t mib) {
  SysError error;
  std::unique_ptr<BlockFile> file = directory.CreateFile(name, true, &error);
  AlignedBuffer fill = storage.NewTransferBuffer(kFillBlock, kBlock);
  if (!file || !fill) {
    std::fprintf(stderr, "cannot make the test file: %s\n", error.description.c_str());
    std::exit(1);
  }
  std::mt19937 generator{std::random_device{}()};
  for (size_t i = 0; i < fill.size(); ++i) fill.data()[i] = static_cast<unsigned char>(generator());
  for (uint32_t block = 0; block < mib && !error; ++block) error = file->Write(fill.data(), kFillBlock, uint64_t{block} * kFillBlock);
  if (!error) error = file->Flush();
  file->Close();
  if (error) {
    std::fprintf(stderr, "cannot write the test file: %s\n", error.description.c_str());
    directory.RemoveFile(name);
    directory.Remove();
    std::exit(1);
  }
}

int Run(const std::string& parent, double seconds, uint32_t mib) {
  Storage& storage = SystemStorage();
  SysError error;
  const std::string directory_name = "KorvanelBENCH" + std::to_string(GetCurrentProcessId());
  std::unique_ptr<TestDirectory> directory = storage.CreateTestDirectory(parent, directory_name, &error);
  if (!directory) {
    std::fprintf(stderr, "cannot make a directory in %s: %s\n", parent.c_str(), error.description.c_str());
    return 1;
  }
  const std::string name = "KorvanelBENCH.tmp";
  const std::wstring path = WidePath(JoinPath(JoinPath(parent, directory_name), name));
  WriteTestFile(*directory, name, storage, mib);
  AlignedBuffer buffer = storage.NewTransferBuffer(kBlock, kBlock);
  const uint64_t file_bytes = uint64_t{mib} << 20;
  const std::chrono::duration<double> length(seconds);
  if (RunningUnderWine()) std::printf("Under Wine %s: these figures mean nothing.\n", WineVersion().c_str());
  std::printf("4 KB at random offsets, %u in flight, %.1f s per way and direction, file %u MiB in %s\n", kDepth,
              seconds, mib, parent.c_str());
  for (const bool write : {false, true}) {
    const char* direction = write ? "write" : "read";
    const Figures routines = Measure(
        [&] { return WithCompletionRoutines(*directory, name, write, buffer.data(), file_bytes, length); });
    const Figures port = Measure([&] { return WithCompletionPort(path, write, buffer.data(), file_bytes, length); });
    Print("completion routines", direction, routines);
    Print("completion port", direction, port);
    std::printf("%-20s %-5s %10.2fx IOPS  %7.2fx CPU per I/O\n", "port / routines", direction,
                routines.Iops() > 0 ? port.Iops() / routines.Iops() : 0,
                routines.CpuMicrosecondsPerIo() > 0 ? port.CpuMicrosecondsPerIo() / routines.CpuMicrosecondsPerIo() : 0);
  }
  const SysError removed_file = directory->RemoveFile(name);
  const SysError removed = removed_file ? removed_file : directory->Remove();
  if (removed) std::fprintf(stderr, "could not remove the test file or its directory: %s\n", removed.description.c_str());
  return removed ? 1 : 0;
}

}  // namespace
}  // namespace korvanel::platform

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = korvanel::platform::CommandLineArguments(argc, argv);
  if (arguments.empty() || arguments.size() > 3) {
    std::fprintf(stderr, "usage: korvanel-queued-bench DIR [SECONDS] [MIB]\n");
    return 2;
  }
  const double seconds = arguments.size() > 1 ? std::atof(arguments[1].c_str()) : 5.0;
  const long mib = arguments.size() > 2 ? std::atol(arguments[2].c_str()) : 1024;
  if (seconds <= 0 || mib < 1) {
    std::fprintf(stderr, "korvanel-queued-bench: SECONDS and MIB must be positive\n");
    return 2;
  }
  korvanel::platform::PrepareOutput();
  return korvanel::platform::Run(arguments[0], seconds, static_cast<uint32_t>(mib));
}
