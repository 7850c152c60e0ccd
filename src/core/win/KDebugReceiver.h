// KDebugReceiver: a top-level window of the debug viewer's class that takes the trace pieces of
// every program that traces (the viewer tool and the Wine tests use it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class KDebugReceiver {
 public:
  using PieceHandler = std::function<void(const std::string& piece)>;

  KDebugReceiver() = default;
  KDebugReceiver(const KDebugReceiver&) = delete;
  KDebugReceiver& operator=(const KDebugReceiver&) = delete;
  ~KDebugReceiver();

  // Creates the hidden window on the calling thread, which must then pump its messages; the
  // handler runs on that thread. False when the window could not be made.
  bool Create(PieceHandler handler);
  void Destroy();
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND window_ = nullptr;
  UINT debugMessage_ = 0;
  PieceHandler handler_;
};
