// korvanel-console-probe.exe: what the command-line tests under Wine cannot ask of a shell.
//   manifest PROGRAM.exe        prints the program's manifest resource; exit 1 without one
//   console PROGRAM.exe ARGS    runs the program in this console and tells whether it put the
//                               console's code page and mode back; exit 1 when it did not
//   ctrl-c MS PROGRAM.exe ARGS  the same, with Ctrl+C pressed after MS milliseconds
// The console checks need a console: under Wine, one in a pseudo-terminal (script).

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int PrintManifest(const wchar_t* program) {
  const HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return 2;
  const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  if (loaded == nullptr) return 1;
  std::fwrite(LockResource(loaded), 1, SizeofResource(module, resource), stdout);
  return 0;
}

struct ConsoleState {
  UINT code_page = 0;
  DWORD mode = 0;
  bool operator==(const ConsoleState&) const = default;
};

ConsoleState Now(HANDLE screen) {
  ConsoleState state;
  state.code_page = GetConsoleOutputCP();
  GetConsoleMode(screen, &state.mode);
  return state;
}

// The command line of the rest of our own: everything after the first `skip` arguments.
std::wstring RestOfCommandLine(int skip) {
  const wchar_t* line = GetCommandLineW();
  for (int i = 0; i <= skip; ++i) {
    bool quoted = false;
    while (*line != L'\0' && (quoted || (*line != L' ' && *line != L'\t'))) {
      if (*line == L'"') quoted = !quoted;
      ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
  }
  return line;
}

BOOL WINAPI LetPass(DWORD) { return TRUE; }

int RunAndCompare(int skip, DWORD interrupt_after_ms) {
  const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (screen == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "no console to check\n");
    return 2;
  }
  const ConsoleState before = Now(screen);
  std::wstring command = RestOfCommandLine(skip);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", command.c_str(), GetLastError());
    return 2;
  }
  // Ctrl+C reaches every program of the console: the probe lets it pass.
  if (interrupt_after_ms > 0 && WaitForSingleObject(process.hProcess, interrupt_after_ms) == WAIT_TIMEOUT) {
    SetConsoleCtrlHandler(LetPass, TRUE);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 0;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const ConsoleState after = Now(screen);
  std::printf("\nexit %lu; code page %u -> %u; mode %lu -> %lu\n", exit_code, before.code_page, after.code_page,
              before.mode, after.mode);
  return before == after ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"manifest") == 0) return PrintManifest(argv[2]);
  if (argc >= 3 && std::wcscmp(argv[1], L"console") == 0) return RunAndCompare(1, 0);
  if (argc >= 4 && std::wcscmp(argv[1], L"ctrl-c") == 0) return RunAndCompare(2, static_cast<DWORD>(_wtoi(argv[2])));
  std::fprintf(stderr, "usage: korvanel-console-probe manifest|console|ctrl-c ...\n");
  return 2;
}
