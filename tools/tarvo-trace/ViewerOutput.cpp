// ViewerOutput: where the debug viewer writes the trace lines: console, file, list window.
#include "ViewerOutput.h"

namespace {

constexpr const char* kViewClass = "TarvoTraceView";
constexpr LRESULT kMaxListedLines = 20000;  // the oldest lines leave the list beyond this

bool Usable(HANDLE h) {
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

}  // namespace

ViewerOutput::~ViewerOutput() {
  if (window_ != nullptr) DestroyWindow(window_);
}

bool ViewerOutput::OpenConsole() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!Usable(out) && AttachConsole(ATTACH_PARENT_PROCESS)) out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!Usable(out)) return false;
  console_ = out;
  DWORD mode = 0;
  consoleIsCharDevice_ = GetConsoleMode(out, &mode) != FALSE;
  return true;
}

bool ViewerOutput::OpenFile(const std::string& path) {
  file_ = win::UniqueFile(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file_);
}

bool ViewerOutput::OpenWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &ViewerOutput::ListProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kViewClass;
  RegisterClassA(&wc);
  window_ =
      CreateWindowExA(0, kViewClass, "Tarvo trace", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                      CW_USEDEFAULT, 800, 480, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) return false;
  RECT client{};
  GetClientRect(window_, &client);
  list_ = CreateWindowExA(
      0, "LISTBOX", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS, 0,
      0, client.right, client.bottom, window_, nullptr, instance, nullptr);
  SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list_));
  return list_ != nullptr;
}

void ViewerOutput::WriteLine(const std::string& line) {
  if (console_ != nullptr) WriteTo(console_, line + (consoleIsCharDevice_ ? "\r\n" : "\n"));
  if (file_) WriteTo(file_.get(), line + "\r\n");
  if (list_ != nullptr) {
    if (SendMessageA(list_, LB_GETCOUNT, 0, 0) >= kMaxListedLines)
      SendMessageA(list_, LB_DELETESTRING, 0, 0);
    const LRESULT at = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (at >= 0) SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
  }
}

void ViewerOutput::WriteTo(HANDLE h, const std::string& text) {
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

LRESULT CALLBACK ViewerOutput::ListProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    HWND list = reinterpret_cast<HWND>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (list != nullptr) MoveWindow(list, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}
