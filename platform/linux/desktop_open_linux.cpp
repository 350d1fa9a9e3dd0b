#include "lang/desktop_open.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace korvanel::platform {

namespace {

bool HasGraphicalSession() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// RAII for the spawn attribute objects.
struct SpawnActions {
  posix_spawn_file_actions_t actions;
  SpawnActions() { posix_spawn_file_actions_init(&actions); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
};

}  // namespace

bool OpenWithDesktop(const std::string& path, SysError* error) {
  if (error) *error = {};
  if (!HasGraphicalSession()) return false;

  // The name goes to the opener as one argument, never through a shell; "./" keeps a relative name
  // that starts with "-" from being taken for an option.
  const std::string argument = path.starts_with('-') ? "./" + path : path;
  char program[] = "xdg-open";
  char* const argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};

  // The opener's chatter must not mix with our own output.
  SpawnActions spawn;
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&spawn.actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  pid_t pid = 0;
  const int result = posix_spawnp(&pid, program, &spawn.actions, nullptr, argv, environ);
  if (result != 0) {
    if (error) *error = SysError::FromErrno(result);
    return false;
  }
  // Some openers stay until the application closes; reap it in the background so we neither wait
  // for it nor leave a zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace korvanel::platform
