// ViewerOutput: where the debug viewer writes the trace lines it receives: its console, a file it
// appends to, and a window that lists them.
#pragma once

#include <windows.h>

#include <string>

#include "util/win/WinHandles.h"

class ViewerOutput {
 public:
  ViewerOutput() = default;
  ViewerOutput(const ViewerOutput&) = delete;
  ViewerOutput& operator=(const ViewerOutput&) = delete;
  ~ViewerOutput();

  // The standard output handed down by the parent, else the parent's console; false when the
  // program runs without either.
  bool OpenConsole();
  // Appends to the file (created when missing); false when it cannot be opened.
  bool OpenFile(const std::string& path);
  // A visible window listing the lines; closing it ends the viewer's loop.
  bool OpenWindow();

  void WriteLine(const std::string& line);

 private:
  static LRESULT CALLBACK ListProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void WriteTo(HANDLE h, const std::string& text);

  HANDLE console_ = nullptr;  // not owned: the process's standard handle
  bool consoleIsCharDevice_ = false;
  win::UniqueFile file_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
};
