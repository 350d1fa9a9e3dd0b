#include "platform/linux/detached_process.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace korvanel::platform {
namespace {

[[noreturn]] void ReportAndExit(int report_fd, int error) {
  (void)!write(report_fd, &error, sizeof error);
  _exit(127);
}

// Runs in the grandchild: its own session, so the terminal's Ctrl+C does not reach the program;
// quiet standard streams, since openers and browsers chatter; only the three streams inherited.
[[noreturn]] void ExecProgram(const char* program, char* const argv[], int null_fd, int report_fd) {
  setsid();
  for (int stream = 0; stream < 3; ++stream) dup2(null_fd, stream);
  syscall(SYS_close_range, 3, ~0U, CLOSE_RANGE_CLOEXEC);
  execve(program, argv, environ);
  ReportAndExit(report_fd, errno);
}

// The intermediate child exits at once, so the program is adopted by init and never left as a
// zombie of ours, however long it runs.
[[noreturn]] void ForkProgram(const char* program, char* const argv[], int null_fd, int report_fd) {
  const pid_t grandchild = fork();
  if (grandchild < 0) ReportAndExit(report_fd, errno);
  if (grandchild == 0) ExecProgram(program, argv, null_fd, report_fd);
  _exit(0);
}

void WaitForChild(pid_t child) {
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// The report pipe closes on a successful exec and carries errno otherwise.
int ReadLaunchError(int report_fd) {
  int error = 0;
  ssize_t got;
  do {
    got = read(report_fd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

int Launch(const std::string& program, std::vector<std::string> arguments) {
  // Built before forking: the child may only make async-signal-safe calls.
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int null_fd = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null_fd < 0) return errno;
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    const int error = errno;
    close(null_fd);
    return error;
  }
  const pid_t child = fork();
  if (child == 0) ForkProgram(program.c_str(), argv.data(), null_fd, report[1]);
  const int fork_error = child < 0 ? errno : 0;
  close(report[1]);
  close(null_fd);
  if (child > 0) WaitForChild(child);
  const int error = fork_error != 0 ? fork_error : ReadLaunchError(report[0]);
  close(report[0]);
  return error;
}

}  // namespace

std::string FindProgramInPath(std::string_view program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string_view::npos) {
    const std::string path(program);
    return access(path.c_str(), X_OK) == 0 ? path : std::string();
  }
  const char* path_variable = std::getenv("PATH");
  std::string_view path = path_variable != nullptr ? path_variable : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const size_t colon = path.find(':');
    std::string directory(path.substr(0, colon));
    if (!directory.empty()) {
      std::string candidate = directory + "/" + std::string(program);
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (colon == std::string_view::npos) return {};
    path.remove_prefix(colon + 1);
  }
}

SysError StartDetachedProcess(const std::string& program_path, const std::vector<std::string>& arguments) {
  const int error = Launch(program_path, arguments);
  return error != 0 ? SysError::FromErrno(error) : SysError{};
}

bool HasGraphicalSession() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace korvanel::platform
