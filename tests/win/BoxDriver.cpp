// BoxDriver: reads and answers the program's message boxes from outside their message loop.
#include "BoxDriver.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "util/win/WinHandles.h"

namespace boxdriver {

namespace {

constexpr DWORD kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 10;

std::string ClassOf(HWND wnd) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof(name));
  return name;
}

bool SendWithin(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* answer) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             answer != nullptr ? answer : &ignored) != 0;
}

// WM_GETTEXT is carried across threads and processes by the system.
std::string WindowText(HWND wnd) {
  DWORD_PTR length = 0;
  if (!SendWithin(wnd, WM_GETTEXTLENGTH, 0, 0, &length)) return std::string();
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendWithin(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got))
    return std::string();
  text.resize(std::min<std::size_t>(got, length));
  return text;
}

std::vector<HWND> Children(HWND parent, const std::string& className) {
  std::vector<HWND> found;
  for (HWND c = FindWindowExA(parent, nullptr, nullptr, nullptr); c != nullptr;
       c = FindWindowExA(parent, c, nullptr, nullptr))
    if (lstrcmpiA(ClassOf(c).c_str(), className.c_str()) == 0) found.push_back(c);
  return found;
}

bool IsDefaultButton(HWND button) {
  return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool IsReady(HWND box) {
  if (!IsWindowVisible(box)) return false;
  const std::vector<HWND> buttons = Buttons(box);
  return std::any_of(buttons.begin(), buttons.end(), IsDefaultButton);
}

// Memory inside the box's process: the rich-edit messages that carry a structure are not
// carried across processes, so the structure has to live where the control can reach it.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND wnd, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    process_.reset(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (process_)
      address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  explicit operator bool() const { return address_ != nullptr; }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  bool Write(const void* data) const {
    return WriteProcessMemory(process_.get(), address_, data, size_, nullptr) != 0;
  }
  bool Read(void* data) const {
    return ReadProcessMemory(process_.get(), address_, data, size_, nullptr) != 0;
  }

 private:
  win::UniqueHandle process_;
  void* address_ = nullptr;
  std::size_t size_;
};

// Character by character: is it bold? Runs of bold characters are joined. Line ends are never
// bold: they show nothing, and the control gives them the format of the text before them.
bool ReadBoldRuns(HWND text, const std::string& chars, std::vector<CharRun>& runs) {
  RemoteBuffer remote(text, sizeof(CHARFORMATA));
  if (!remote) return false;
  runs.clear();
  const int length = static_cast<int>(chars.size());
  for (int i = 0; i < length; ++i) {
    if (chars[static_cast<std::size_t>(i)] == '\r' || chars[static_cast<std::size_t>(i)] == '\n')
      continue;
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    if (!remote.Write(&format)) return false;
    if (!SendWithin(text, EM_SETSEL, static_cast<WPARAM>(i), i + 1, nullptr)) return false;
    if (!SendWithin(text, EM_GETCHARFORMAT, SCF_SELECTION, remote.address(), nullptr)) return false;
    if (!remote.Read(&format)) return false;
    const bool bold = (format.dwMask & CFM_BOLD) != 0 && (format.dwEffects & CFE_BOLD) != 0;
    if (!bold) continue;
    if (!runs.empty() && runs.back().second == i)
      runs.back().second = i + 1;
    else
      runs.emplace_back(i, i + 1);
  }
  SendWithin(text, EM_SETSEL, 0, 0, nullptr);
  return true;
}

HWND FocusOfBoxThread(HWND box) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus != nullptr)
    return info.hwndFocus;
  return box;
}

LPARAM KeyData(UINT virtualKey, bool alt, bool up) {
  LPARAM data = 1 | static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  if (alt) data |= LPARAM{1} << 29;
  if (up) data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return data;
}

bool Press(HWND box, UINT virtualKey, bool alt) {
  if (!IsWindow(box)) return false;
  const HWND target = FocusOfBoxThread(box);
  const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
  return PostMessageA(target, down, virtualKey, KeyData(virtualKey, alt, false)) &&
         PostMessageA(target, up, virtualKey, KeyData(virtualKey, alt, true));
}

}  // namespace

HWND WaitForBox(DWORD timeoutMs, DWORD processId) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    for (HWND w = FindWindowExA(nullptr, nullptr, "KMsgBox", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "KMsgBox", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if ((processId == 0 || pid == processId) && IsReady(w)) return w;
    }
    Sleep(kPollMs);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

std::vector<HWND> Buttons(HWND box) {
  std::vector<HWND> buttons = Children(box, "Button");
  std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return buttons;
}

HWND TextControl(HWND box) {
  for (const char* name : {"RICHEDIT", "Static"}) {
    const std::vector<HWND> found = Children(box, name);
    if (!found.empty()) return found.front();
  }
  return nullptr;
}

int DefaultButton(HWND box) {
  const std::vector<HWND> buttons = Buttons(box);
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (IsDefaultButton(buttons[i])) return static_cast<int>(i);
  return -1;
}

bool ReadBox(HWND box, BoxContents& out) {
  out = BoxContents{};
  out.box = box;
  if (!IsWindow(box)) return false;
  out.caption = WindowText(box);
  GetWindowRect(box, &out.frame);
  for (HWND b : Buttons(box)) out.buttons.push_back(WindowText(b));
  out.defaultButton = DefaultButton(box);
  const HWND text = TextControl(box);
  if (text != nullptr) {
    out.richEdit = lstrcmpiA(ClassOf(text).c_str(), "RICHEDIT") == 0;
    out.text = WindowText(text);
    const LONG style = GetWindowLongA(text, GWL_STYLE);
    out.rightAligned = out.richEdit ? (style & ES_RIGHT) != 0 : (style & SS_TYPEMASK) == SS_RIGHT;
    out.rightToLeft = (GetWindowLongA(text, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    if (out.richEdit && !ReadBoldRuns(text, out.text, out.bold)) return false;
  }
  return IsWindow(box) != FALSE;
}

bool CloseItemGreyed(HWND box) {
  const UINT state = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

COLORREF PixelAt(HWND box, int x, int y) {
  const win::UniqueWindowDC dc(box);
  return dc ? GetPixel(dc.get(), x, y) : CLR_INVALID;
}

bool ShowsIcon(HWND box, int iconId) {
  // Draw the icon the way the box does (over its band colour) and compare the pixels.
  constexpr int kLeft = 11, kTop = 20;
  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(iconId));
  if (icon == nullptr) return false;
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const win::UniqueWindowDC boxDc(box);
  if (!boxDc) return false;
  const win::UniqueMemoryDC mem(CreateCompatibleDC(boxDc.get()));
  const win::UniqueGdiObject bitmap(CreateCompatibleBitmap(boxDc.get(), cx, cy));
  const win::UniqueGdiObject band(CreateSolidBrush(0x984E00));
  bool same = mem && bitmap && band;
  if (same) {
    const win::ScopedSelect selected(mem.get(), bitmap.get());
    const RECT all{0, 0, cx, cy};
    FillRect(mem.get(), &all, static_cast<HBRUSH>(band.get()));
    DrawIcon(mem.get(), 0, 0, icon);
    for (int y = 0; y < cy && same; ++y)
      for (int x = 0; x < cx && same; ++x)
        same = GetPixel(mem.get(), x, y) == GetPixel(boxDc.get(), kLeft + x, kTop + y);
  }
  return same;
}

bool PressKey(HWND box, UINT virtualKey) {
  return Press(box, virtualKey, false);
}

bool PressAltKey(HWND box, UINT virtualKey) {
  return Press(box, virtualKey, true);
}

bool ClickButton(HWND box, int index) {
  const std::vector<HWND> buttons = Buttons(box);
  if (index < 0 || index >= static_cast<int>(buttons.size())) return false;
  return PostMessageA(buttons[static_cast<std::size_t>(index)], BM_CLICK, 0, 0) != 0;
}

bool PressCloseBox(HWND box) {
  return PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0) != 0;
}

bool WaitUntilGone(HWND box, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (IsWindow(box)) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
  return true;
}

bool WaitForDefault(HWND box, int index, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (DefaultButton(box) != index) {
    if (!IsWindow(box) || GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
  return true;
}

ScriptThread::ScriptThread(std::function<void()> script) : script_(std::move(script)) {
  thread_.reset(CreateThread(nullptr, 0, &ScriptThread::Run, this, 0, nullptr));
}

ScriptThread::~ScriptThread() {
  Join();
}

bool ScriptThread::Join(DWORD timeoutMs) {
  if (!thread_) return true;
  if (WaitForSingleObject(thread_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
  thread_.reset();
  return true;
}

DWORD WINAPI ScriptThread::Run(void* self) {
  static_cast<ScriptThread*>(self)->script_();
  return 0;
}

Driven ShowAndDrive(const std::function<int()>& show,
                    const std::function<void(HWND, const BoxContents&)>& script,
                    DWORD closeAfterMs) {
  Driven d;
  const DWORD self = GetCurrentProcessId();
  ScriptThread driver([&] {
    const HWND box = WaitForBox(5000, self);
    d.found = box != nullptr;
    if (box == nullptr) {
      // A box that never got ready must not keep the showing thread waiting.
      for (HWND w = FindWindowExA(nullptr, nullptr, "KMsgBox", nullptr); w != nullptr;
           w = FindWindowExA(nullptr, w, "KMsgBox", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == self) d.rescued = PostMessageA(w, WM_CLOSE, 0, 0) != 0;
      }
      return;
    }
    d.read = ReadBox(box, d.contents);
    script(box, d.contents);
    if (!WaitUntilGone(box, closeAfterMs)) {
      d.rescued = true;
      PostMessageA(box, WM_CLOSE, 0, 0);
    }
  });
  d.result = show();
  driver.Join();
  return d;
}

}  // namespace boxdriver
