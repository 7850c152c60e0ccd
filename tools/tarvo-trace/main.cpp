// tarvo-trace: the debug viewer. Receives the trace stream of tarvostub.exe (every piece sent to a
// ".KDebug." window) and writes the lines to its console, to a file and/or to a list window.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "ViewerOutput.h"
#include "core/KDebug.h"
#include "core/TraceLines.h"
#include "core/win/KDebugReceiver.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarvo-trace [--file PATH] [--window] [--quiet] [--count N]\r\n"
    "Shows the trace lines of every running tarvostub.exe.\r\n"
    "  --file PATH  also append each line to PATH\r\n"
    "  --window     list the lines in a window even when a console is attached\r\n"
    "  --quiet      write nothing to the console\r\n"
    "  --count N    end after N lines\r\n"
    "Without a console the lines are listed in a window. Ctrl+C or closing the window ends it.\r\n";

struct Options {
  std::string file;
  bool window = false;
  bool quiet = false;
  long long count = -1;  // no limit
  bool help = false;
  std::string error;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--file" && hasValue) {
      o.file = argv[++i];
    } else if (a == "--window") {
      o.window = true;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if (a == "--count" && hasValue) {
      char* end = nullptr;
      o.count = std::strtoll(argv[++i], &end, 10);
      if (end == nullptr || *end != '\0' || o.count < 1) o.error = "--count needs a number above 0";
    } else if (a == "--help" || a == "-h" || a == "/?") {
      o.help = true;
    } else {
      o.error = "unknown option " + a;
    }
  }
  return o;
}

DWORD mainThread = 0;

BOOL WINAPI OnConsoleBreak(DWORD) {
  PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
  return TRUE;
}

// Tells the user, on the console when there is one, else in a box.
void Report(ViewerOutput& out, bool haveConsole, const std::string& text) {
  if (haveConsole) {
    out.WriteLine(text);
  } else {
    MessageBoxA(nullptr, text.c_str(), "tarvo-trace", MB_OK);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const Options options = ParseOptions(__argc, __argv);
  ViewerOutput out;
  const bool haveConsole = !options.quiet && out.OpenConsole();
  if (options.help || !options.error.empty()) {
    Report(out, haveConsole,
           (options.error.empty() ? std::string() : "tarvo-trace: " + options.error + "\r\n") +
               kUsage);
    return options.help ? 0 : 2;
  }
  // Pieces go to the first viewer the tracing program finds; a second one would see nothing.
  if (FindWindowA(kdebug::kViewerClass, nullptr) != nullptr) {
    Report(out, haveConsole, "tarvo-trace: another debug viewer is already running");
    return 1;
  }
  if (!options.file.empty() && !out.OpenFile(options.file)) {
    Report(out, haveConsole, "tarvo-trace: cannot open " + options.file);
    return 1;
  }
  if ((options.window || !haveConsole) && !out.OpenWindow()) return 1;

  mainThread = GetCurrentThreadId();
  SetConsoleCtrlHandler(&OnConsoleBreak, TRUE);
  TraceLineAssembler assembler;
  long long written = 0;
  KDebugReceiver receiver;
  const bool listening = receiver.Create([&](const std::string& piece) {
    for (const std::string& line : assembler.Add(piece)) {
      if (options.count > 0 && written >= options.count) return;  // ending: quit is posted
      out.WriteLine(line);
      if (options.count > 0 && ++written >= options.count) PostQuitMessage(0);
    }
  });
  if (!listening) {
    Report(out, haveConsole, "tarvo-trace: cannot create the viewer window");
    return 1;
  }
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (!assembler.Pending().empty()) out.WriteLine(assembler.Pending());
  return 0;
}
