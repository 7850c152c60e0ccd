// TraceCapture: a debug viewer inside the test process, on its own thread.
#include "TraceCapture.h"

#include <algorithm>
#include <chrono>

#include "core/win/KDebugReceiver.h"

namespace wintest {

TraceCapture::TraceCapture() {
  thread_ = std::thread([this] { Run(); });
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return started_; });
}

TraceCapture::~TraceCapture() {
  if (threadId_ != 0) PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
}

void TraceCapture::Run() {
  KDebugReceiver receiver;
  const bool made = receiver.Create([this](const std::string& piece) { OnPiece(piece); });
  MSG msg{};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here on
  {
    std::lock_guard<std::mutex> hold(lock_);
    window_ = made ? receiver.Window() : nullptr;
    threadId_ = GetCurrentThreadId();
    started_ = true;
  }
  changed_.notify_all();
  while (made && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void TraceCapture::OnPiece(const std::string& piece) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    pieces_.push_back(piece);
    for (auto& line : assembler_.Add(piece)) lines_.push_back(std::move(line));
  }
  changed_.notify_all();
}

std::vector<std::string> TraceCapture::Pieces() const {
  std::lock_guard<std::mutex> hold(lock_);
  return pieces_;
}

std::vector<std::string> TraceCapture::Lines() const {
  std::lock_guard<std::mutex> hold(lock_);
  return lines_;
}

std::vector<std::string> TraceCapture::LinesOf(DWORD processId) const {
  const std::string prefix = std::to_string(processId) + " ";
  std::vector<std::string> mine;
  for (const auto& line : Lines())
    if (line.compare(0, prefix.size(), prefix) == 0) mine.push_back(line.substr(prefix.size() - 1));
  return mine;
}

bool TraceCapture::WaitForLine(const std::string& text, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
    return std::find(lines_.begin(), lines_.end(), text) != lines_.end();
  });
}

void TraceCapture::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  pieces_.clear();
  lines_.clear();
  assembler_ = TraceLineAssembler();
}

}  // namespace wintest
