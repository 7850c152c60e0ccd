// KMsgBox: the modal message box window: its rich-edit text, band and icon, buttons and the
// box's own message loop with its keyboard filter.
#include "ui/KMsgBox.h"

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/KDebug.h"
#include "ui/KMsgBoxAutoPlay.h"
#include "ui/KMsgBoxFont.h"
#include "ui/KMsgBoxKeys.h"
#include "ui/KMsgBoxLayout.h"
#include "ui/KMsgBoxOptions.h"
#include "ui/KMsgBoxPump.h"
#include "ui/MsgMarkup.h"
#include "util/win/WinHandles.h"

namespace {

constexpr const char* kClassName = "KMsgBox";
constexpr const char* kRichEditLibrary = "RICHED32.DLL";
constexpr const char* kRichEditClass = "RICHEDIT";
constexpr DWORD kTextStyle = 0x50001804;    // child, visible, multi-line, read-only, want-return
constexpr COLORREF kBandColour = 0x984E00;  // RGB(0, 78, 152)

// One open box. The box window carries a pointer to it, so a box opened by a handler while
// another one waits does not trample the first one's state.
struct OpenBox {
  unsigned flags = 0;
  HWND owner = nullptr;
  HWND box = nullptr;
  HWND text = nullptr;
  bool richText = false;
  HWND slots[2] = {nullptr, nullptr};
  std::vector<std::string> slotCaptions;
  int result = msgbox::kResultClosed;
  int icon = 0;
  msgbox::Extent requested;
  bool done = false;
  win::UniqueGdiObject font;
};

// Loaded by the first box and kept until the program ends.
win::UniqueModule richEditLibrary;

void LoadRichEditOnce() {
  if (richEditLibrary) return;
  HMODULE library = LoadLibraryA(kRichEditLibrary);
  if (reinterpret_cast<std::uintptr_t>(library) > 32) richEditLibrary.reset(library);
}

OpenBox* BoxOf(HWND wnd) {
  return reinterpret_cast<OpenBox*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

HFONT MakeBoxFont() {
  const MessageBoxFontSettings& s = MessageBoxFont();
  const win::UniqueScreenDC screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return CreateFontA(-MulDiv(s.pointSize, dpi, 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                     static_cast<BYTE>(s.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, s.faceName.c_str());
}

// ---- Painting -------------------------------------------------------------------------------

class PaintScope {
 public:
  explicit PaintScope(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(wnd_, &ps_); }
  HDC dc() const { return dc_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

void FillColour(HDC dc, RECT area, COLORREF colour) {
  const win::UniqueGdiObject brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
}

void PaintBox(HWND wnd, const OpenBox* b) {
  PaintScope paint(wnd);
  RECT client{};
  GetClientRect(wnd, &client);
  const int cw = client.right, ch = client.bottom;
  FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_WINDOW));
  FillColour(paint.dc(), {0, ch - 37, cw, ch - 36}, GetSysColor(COLOR_3DDKSHADOW));
  FillColour(paint.dc(), {0, ch - 36, cw, ch - 35}, RGB(255, 255, 255));
  const RECT strip{0, ch - 35, cw, ch};
  FillRect(paint.dc(), &strip, GetSysColorBrush(COLOR_BTNFACE));
  FillColour(paint.dc(), {0, 0, msgbox::kBandWidth, ch - 37}, kBandColour);
  if (b != nullptr && b->icon != 0) {
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(b->icon));
    if (icon != nullptr) DrawIcon(paint.dc(), msgbox::kIconLeft, msgbox::kIconTop, icon);
  }
}

// ---- Buttons and keys -----------------------------------------------------------------------

int SlotCount(const OpenBox& b) {
  return b.slots[1] != nullptr ? 2 : 1;
}

int FocusedSlot(const OpenBox& b) {
  const HWND focus = GetFocus();
  for (int slot = 0; slot < 2; ++slot)
    if (b.slots[slot] != nullptr && b.slots[slot] == focus) return slot;
  return -1;
}

void SetDefaultButton(OpenBox& b, int index) {
  const HWND chosen = b.slots[msgbox::DefaultSlot(index, SlotCount(b))];
  if (chosen == nullptr) return;
  SetFocus(chosen);  // activates the box as well when it is not active
  for (HWND slot : b.slots)
    if (slot != nullptr) SendMessageA(slot, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SendMessageA(chosen, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Answer(OpenBox& b, HWND button) {
  b.result = static_cast<int>(GetWindowLongPtrA(button, GWLP_USERDATA));
  PostMessageA(b.box, WM_CLOSE, 0, 0);
}

// Every message of the thread passes here first; true when a key chose a button (the message
// is then consumed). Navigation keys move the default and still go on to dispatch.
bool FilterKey(OpenBox& b, const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const auto kind =
      msg.message == WM_SYSKEYDOWN ? msgbox::KeyMessage::kWithAlt : msgbox::KeyMessage::kPlain;
  const msgbox::KeyDecision d =
      msgbox::DecideKey(kind, static_cast<unsigned>(msg.wParam), b.slotCaptions, FocusedSlot(b));
  if (d.action == msgbox::KeyAction::kMoveDefault) SetDefaultButton(b, d.slot);
  if (d.action != msgbox::KeyAction::kChoose || b.slots[d.slot] == nullptr) return false;
  Answer(b, b.slots[d.slot]);
  return true;
}

bool CloseItemGreyed(HWND box) {
  const UINT state = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

// ---- The box window -------------------------------------------------------------------------

LRESULT OnClose(HWND wnd, OpenBox* b) {
  if (b != nullptr && b->owner != nullptr) {
    // The owner comes back before the box goes, so activation returns to it.
    EnableWindow(b->owner, TRUE);
    SetActiveWindow(b->owner);
    SetFocus(b->owner);
  }
  return DefWindowProcA(wnd, WM_CLOSE, 0, 0);
}

LRESULT OnNotify(OpenBox* b, LPARAM lp) {
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (b != nullptr && header != nullptr && header->code == EN_REQUESTRESIZE) {
    const RECT& r = reinterpret_cast<const REQRESIZE*>(lp)->rc;
    b->requested = {r.right - r.left, r.bottom - r.top};
  }
  return 0;
}

LRESULT CALLBACK BoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  OpenBox* b = BoxOf(wnd);
  if (AutoPlayCancelMessage() != 0 && msg == AutoPlayCancelMessage()) return 1;
  switch (msg) {
    case WM_COMMAND:
      if (b != nullptr && lp != 0) {
        const HWND from = reinterpret_cast<HWND>(lp);
        if (from == b->slots[0] || from == b->slots[1]) Answer(*b, from);
      }
      return 0;
    case WM_NOTIFY:
      return OnNotify(b, lp);
    case WM_SYSCOMMAND:
      // Alt+F4 and the close box must not get round a greyed Close item.
      if ((wp & 0xFFF0) == SC_CLOSE && CloseItemGreyed(wnd)) return 0;
      break;
    case WM_CLOSE:
      return OnClose(wnd, b);
    case WM_DESTROY:
      if (b != nullptr) b->done = true;
      return 1;
    case WM_PAINT:
      PaintBox(wnd, b);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Only the plain-text stand-in for the rich-edit control is a static control.
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
      break;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

bool RegisterBoxClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = BoxProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  // A box opened while another one is open finds the class still there.
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// ---- The text control -----------------------------------------------------------------------

HWND CreateTextControl(OpenBox& b, HINSTANCE instance) {
  const bool right = (b.flags & msgbox::kRightAlign) != 0;
  const DWORD exStyle = (b.flags & msgbox::kRtlReading) != 0 ? WS_EX_RTLREADING : 0;
  HWND text = CreateWindowExA(exStyle, kRichEditClass, "", kTextStyle | (right ? ES_RIGHT : 0),
                              msgbox::kTextLeft, msgbox::kTextTop, msgbox::kTextInitialWidth,
                              msgbox::kTextInitialHeight, b.box, nullptr, instance, nullptr);
  b.richText = text != nullptr;
  if (text == nullptr) {
    // Without the rich-edit library the user still reads the message, only without bold runs.
    TraceLine("KMsgBox: no rich-edit control (" + std::to_string(GetLastError()) +
              "), plain text instead");
    text = CreateWindowExA(exStyle, "STATIC", "",
                           WS_CHILD | WS_VISIBLE | SS_NOPREFIX | (right ? SS_RIGHT : SS_LEFT),
                           msgbox::kTextLeft, msgbox::kTextTop, msgbox::kTextInitialWidth,
                           msgbox::kTextInitialHeight, b.box, nullptr, instance, nullptr);
  }
  if (text == nullptr) return nullptr;
  if (b.richText) {
    SendMessageA(text, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    SendMessageA(text, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
  }
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(b.font.get()), FALSE);
  return text;
}

void Select(HWND text, LONG start, LONG end) {
  CHARRANGE range{start, end};
  SendMessageA(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void ApplyBold(HWND text, const std::vector<BoldRange>& ranges) {
  for (const BoldRange& r : ranges) {
    Select(text, r.start, r.end);
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    format.dwEffects = CFE_BOLD;
    SendMessageA(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  Select(text, 0, 0);
}

msgbox::Extent MeasureBoxText(const OpenBox& b, const std::string& text) {
  const win::UniqueWindowDC dc(b.text);
  if (!dc) return {msgbox::kTextInitialWidth, msgbox::kTextInitialHeight};
  const win::ScopedSelect font(dc.get(), b.font.get());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.get(), &metrics);
  const int line =
      msgbox::LineHeight(metrics.tmHeight, metrics.tmExternalLeading, MessageBoxFont().faceName);
  return msgbox::MeasureText(text, line, [&dc](const std::string& piece) {
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), piece.data(), static_cast<int>(piece.size()), &size);
    return static_cast<int>(size.cx);
  });
}

void SizeText(const OpenBox& b, int width, int height) {
  SetWindowPos(b.text, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Bold text is wider than the measurement: widen the control until it asks for no more lines.
void FitBoldText(OpenBox& b, const msgbox::Extent& measured) {
  const msgbox::WidthChoice choice = msgbox::SearchTextWidth(measured, [&b, &measured](int w) {
    b.requested = {};
    SizeText(b, w, measured.height);
    SendMessageA(b.text, EM_REQUESTRESIZE, 0, 0);
    return b.requested;
  });
  if (!choice.fits) SizeText(b, choice.width, measured.height);
}

void FillText(OpenBox& b, const std::string& message) {
  const RenderedMarkup markup = RenderMarkup(message);
  SetWindowTextA(b.text, markup.text.c_str());
  if (b.richText) ApplyBold(b.text, markup.bold);
  const msgbox::Extent measured = MeasureBoxText(b, markup.text);
  SizeText(b, measured.width + 10, measured.height);
  if (b.richText && !markup.bold.empty()) FitBoldText(b, measured);
}

// ---- Geometry and buttons -------------------------------------------------------------------

msgbox::Extent ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void PlaceBox(OpenBox& b) {
  msgbox::Extent text{msgbox::kTextInitialWidth, msgbox::kTextInitialHeight};
  RECT tr{};
  if (b.text != nullptr && GetWindowRect(b.text, &tr))
    text = {tr.right - tr.left, tr.bottom - tr.top};
  const msgbox::Extent size = msgbox::BoxSize(
      text,
      {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION)});
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const msgbox::Rect r = msgbox::CenteredBox(
      {work.left, work.top, work.right - work.left, work.bottom - work.top}, size);
  MoveWindow(b.box, r.left, r.top, r.width, r.height, TRUE);
  ShowWindow(b.box, SW_SHOW);
  if (b.text == nullptr) return;
  const msgbox::Rect t = msgbox::TextPlacement(ClientSize(b.box), text);
  MoveWindow(b.text, t.left, t.top, t.width, t.height, TRUE);
  ShowWindow(b.text, SW_SHOW);
}

void CreateButtons(OpenBox& b, const std::string& captions, HINSTANCE instance) {
  const std::vector<msgbox::ButtonSpec> slotDefs = msgbox::ButtonsForFlags(b.flags);
  const int count = static_cast<int>(slotDefs.size());
  const msgbox::Extent client = ClientSize(b.box);
  b.slotCaptions.assign(slotDefs.size(), std::string());
  // The rightmost button first.
  for (int slot = count - 1; slot >= 0; --slot) {
    const msgbox::ButtonSpec& slotDef = slotDefs[static_cast<std::size_t>(slot)];
    const std::string caption = msgbox::ButtonCaption(captions, slotDef.field);
    const msgbox::Rect r = msgbox::ButtonRect(slot, count, client);
    HWND button =
        CreateWindowExA(0, "Button", caption.c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, r.left,
                        r.top, r.width, r.height, b.box, nullptr, instance, nullptr);
    if (button == nullptr) continue;
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(b.font.get()), FALSE);
    SetWindowLongPtrA(button, GWLP_USERDATA, slotDef.code);
    b.slots[slot] = button;
    b.slotCaptions[static_cast<std::size_t>(slot)] = caption;
  }
  SetDefaultButton(b, 0);
}

// Runs until the box window is gone; a quit request met on the way is handed back to the caller
// so that the main loop still sees it.
bool RunBoxLoop(OpenBox& b, int& quitCode) {
  bool quit = false;
  MSG msg{};
  while (!b.done) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) {
      TraceLine("KMsgBox: GetMessage failed (" + std::to_string(GetLastError()) + ")");
      DestroyWindow(b.box);
      break;
    }
    if (got == 0) {
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      continue;
    }
    if (FilterKey(b, msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return quit;
}

}  // namespace

int ShowMessageBox(int mode, const std::string& text, const std::string& caption,
                   const std::string& buttonCaptions, int charset, unsigned flags) {
  const std::string message = mode == 0 ? HeadingMarkup(caption, text) : text;
  OpenBox b;
  b.flags = msgbox::BoxFlags(mode, charset, flags);
  LoadRichEditOnce();
  b.owner = GetActiveWindow();
  if (b.owner != nullptr) EnableWindow(b.owner, FALSE);
  b.font.reset(MakeBoxFont());
  // This box's own reference to the library, given back when it has closed.
  const win::UniqueModule boxReference(LoadLibraryA(kRichEditLibrary));
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterBoxClass(instance);
  b.box = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClassName, caption.c_str(),
                          WS_VISIBLE | WS_CAPTION | WS_SYSMENU, -100, -100, 10, 10, b.owner,
                          nullptr, instance, &b);
  if (b.box == nullptr) {
    TraceLine("KMsgBox: the box window was not created (" + std::to_string(GetLastError()) + ")");
    if (b.owner != nullptr) EnableWindow(b.owner, TRUE);
    UnregisterClassA(kClassName, instance);
    return msgbox::kResultClosed;
  }
  if ((b.flags & msgbox::kNoClose) != 0) {
    EnableMenuItem(GetSystemMenu(b.box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    b.flags &= ~msgbox::kNoClose;
  }
  b.text = CreateTextControl(b, instance);
  if (b.text != nullptr) FillText(b, message);
  PlaceBox(b);
  b.icon = msgbox::StandardIconForFlags(b.flags);
  CreateButtons(b, buttonCaptions, instance);
  int quitCode = 0;
  const bool quit = RunBoxLoop(b, quitCode);
  // The class can only go once its window has gone (a box still open under this one keeps it).
  UnregisterClassA(kClassName, instance);
  b.font.reset();
  YieldWait(0, 100);
  if (quit) PostQuitMessage(quitCode);
  return b.result;
}

void ShowErrorBox(int mode, const std::string& text, const std::string& caption,
                  const std::string& buttonCaptions, int charset) {
  ShowMessageBox(mode, text, msgbox::WrapperCaption(caption, msgbox::kCaptionError),
                 msgbox::WrapperButtons(buttonCaptions), charset, msgbox::kErrorBoxFlags);
}

void ShowAttentionBox(int mode, const std::string& text, const std::string& caption,
                      const std::string& buttonCaptions, int charset) {
  ShowMessageBox(mode, text, msgbox::WrapperCaption(caption, msgbox::kCaptionAttention),
                 msgbox::WrapperButtons(buttonCaptions), charset, msgbox::kAttentionBoxFlags);
}

bool AskYesNo(int mode, const std::string& text, const std::string& caption,
              const std::string& buttonCaptions, int charset) {
  return ShowMessageBox(mode, text, msgbox::WrapperCaption(caption, msgbox::kCaptionConfirm),
                        msgbox::WrapperButtons(buttonCaptions), charset,
                        msgbox::kYesNoBoxFlags) == msgbox::kResultYes;
}

bool AskOkCancel(int mode, const std::string& text, const std::string& caption,
                 const std::string& buttonCaptions, int charset) {
  return ShowMessageBox(mode, text, msgbox::WrapperCaption(caption, msgbox::kCaptionConfirm),
                        msgbox::WrapperButtons(buttonCaptions), charset,
                        msgbox::kOkCancelBoxFlags) == msgbox::kResultOk;
}
