// TraceCapture: a debug viewer inside the test process: a ".KDebug." window on its own thread
// that collects the trace pieces of every program the test runs.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/TraceLines.h"

namespace wintest {

class TraceCapture {
 public:
  TraceCapture();  // returns once the window can be found
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  bool Ready() const { return window_ != nullptr; }
  std::vector<std::string> Pieces() const;
  std::vector<std::string> Lines() const;
  // The lines that begin with the process id followed by a blank (the lines that identify their
  // process), without the id.
  std::vector<std::string> LinesOf(DWORD processId) const;
  // Waits until a line equal to text has arrived; false after timeoutMs.
  bool WaitForLine(const std::string& text, DWORD timeoutMs) const;
  void Clear();

 private:
  void Run();
  void OnPiece(const std::string& piece);

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::vector<std::string> pieces_;
  std::vector<std::string> lines_;
  TraceLineAssembler assembler_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  bool started_ = false;
  std::thread thread_;
};

}  // namespace wintest
