// KDebugReceiver: a top-level window of the debug viewer's class that takes the trace pieces.
#include "core/win/KDebugReceiver.h"

#include "core/KDebug.h"

namespace {

bool RegisterViewerClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, kdebug::kViewerClass, &wc)) return true;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kdebug::kViewerClass;
  return RegisterClassA(&wc) != 0;
}

}  // namespace

KDebugReceiver::~KDebugReceiver() {
  Destroy();
}

bool KDebugReceiver::Create(PieceHandler handler) {
  Destroy();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterViewerClass(instance)) return false;
  handler_ = std::move(handler);
  debugMessage_ = RegisterWindowMessageA(kdebug::kDebugMessageName);
  // A top-level window: the programs that trace look for it by class, and a message-only window
  // would not be found.
  window_ =
      CreateWindowExA(0, kdebug::kViewerClass, "Tarvo trace", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) return false;
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KDebugReceiver::Proc));
  return true;
}

void KDebugReceiver::Destroy() {
  if (window_ == nullptr) return;
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT CALLBACK KDebugReceiver::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<KDebugReceiver*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (self != nullptr && msg == self->debugMessage_ && self->debugMessage_ != 0) {
    if (wp != kdebug::kChannel) return 0;
    // The sender deletes the atom as soon as the send returns: read it now.
    char text[256] = {};
    const UINT n = GlobalGetAtomNameA(static_cast<ATOM>(lp), text, sizeof(text));
    if (n > 0 && self->handler_) {
      try {
        self->handler_(std::string(text, n));
      } catch (...) {
        // A failing handler must not take the sender's piece down with it.
      }
    }
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}
