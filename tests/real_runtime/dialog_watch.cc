// Runs one Windows program and writes down every message box that appears
// while it runs, pressing OK on each, so that a headless run never waits on
// one; the runtime's compiler reports its errors and a compiled program its
// run-time errors only this way.
//   dialog_watch TIMEOUT_MS LOG COMMAND-LINE...
// LOG gets one line per message box and one at the end:
//   DIALOG caption=<caption> text=<text>
//   EXIT code=<exit code>         or  TIMEOUT after=<ms>, the program ended
// Control characters and "\" in a caption or text are written as \xHH.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

struct Watch {
  std::FILE* log = nullptr;
  std::set<HWND> reported;  // a pressed box takes a moment to go
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 32 || c == 127 || c == '\\') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string WindowText(HWND window) {
  char text[4096];
  int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

// A message box's text is the static control 0xFFFF; other dialogs get the
// text of all their static controls.
BOOL CALLBACK CollectStatic(HWND child, LPARAM text) {
  char kind[64];
  GetClassNameA(child, kind, sizeof kind);
  std::string shown = WindowText(child);
  if (lstrcmpiA(kind, "Static") == 0 && !shown.empty()) {
    auto* all = reinterpret_cast<std::string*>(text);
    *all += (all->empty() ? "" : " | ") + shown;
  }
  return TRUE;
}

BOOL CALLBACK ReportDialog(HWND window, LPARAM watch_word) {
  auto* watch = reinterpret_cast<Watch*>(watch_word);
  char kind[64];
  GetClassNameA(window, kind, sizeof kind);
  if (!IsWindowVisible(window) || std::string(kind) != "#32770" ||
      !watch->reported.insert(window).second) {
    return TRUE;
  }
  std::string text;
  if (HWND message = GetDlgItem(window, 0xFFFF)) text = WindowText(message);
  if (text.empty())
    EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&text));
  std::fprintf(watch->log, "DIALOG caption=%s text=%s\n",
               Escaped(WindowText(window)).c_str(), Escaped(text).c_str());
  std::fflush(watch->log);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: dialog_watch TIMEOUT_MS LOG COMMAND-LINE...\n");
    return 2;
  }
  const DWORD timeout = std::strtoul(argv[1], nullptr, 10);
  Watch watch;
  // Binary, so that its lines end in "\n" for the shell that reads it.
  watch.log = std::fopen(argv[2], "wb");
  if (watch.log == nullptr) {
    std::fprintf(stderr, "dialog_watch: cannot write %s\n", argv[2]);
    return 2;
  }
  std::string command;
  for (int i = 3; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.find(' ') != std::string::npos) arg = "\"" + arg + "\"";
    command += (command.empty() ? "" : " ") + arg;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(watch.log, "START failed: error %lu for %s\n", GetLastError(),
                 command.c_str());
    return 1;
  }
  const DWORD started = GetTickCount();
  for (;;) {
    EnumWindows(ReportDialog, reinterpret_cast<LPARAM>(&watch));
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    if (GetTickCount() - started > timeout) {
      TerminateProcess(process.hProcess, 1);
      std::fprintf(watch.log, "TIMEOUT after=%lu\n", GetTickCount() - started);
      return 1;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::fprintf(watch.log, "EXIT code=%lu\n", code);
  return 0;
}
