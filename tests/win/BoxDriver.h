// BoxDriver: finds the program's open message boxes (in this process or in another one), reads
// what they show and answers them with keys or clicks, as a user at the desktop would. Every wait
// is bounded, so a test never hangs on a box that does not come or does not go.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/win/WinHandles.h"

namespace boxdriver {

// [start, end) character offsets into the text control's text.
using CharRun = std::pair<int, int>;

struct BoxContents {
  HWND box = nullptr;
  std::string caption;
  std::string text;                  // what the text control holds
  bool richEdit = false;             // the control is the rich-edit control, not the plain stand-in
  std::vector<CharRun> bold;         // the bold runs of the text
  std::vector<std::string> buttons;  // captions, left to right
  int defaultButton = -1;            // index into buttons; -1 when none is the default
  bool rightAligned = false;
  bool rightToLeft = false;
  RECT frame{};  // the box's window rectangle on the screen
};

// A box of class "KMsgBox" that is ready to be answered (its buttons made, one the default),
// in the given process (0: any); nullptr when none came within timeoutMs.
HWND WaitForBox(DWORD timeoutMs, DWORD processId = 0);
// Reads everything BoxContents holds; false when the box went away while reading.
bool ReadBox(HWND box, BoxContents& out);
// The push buttons, left to right.
std::vector<HWND> Buttons(HWND box);
HWND TextControl(HWND box);
// The index of the default button (-1: none).
int DefaultButton(HWND box);
// The Close item of the box's window menu is greyed (boxes of this process only).
bool CloseItemGreyed(HWND box);
// Client-area pixel of the box as it is on the screen (CLR_INVALID when it cannot be read).
COLORREF PixelAt(HWND box, int x, int y);
// The system icon (32513 stop, 32514 question, 32515 exclamation) is what the box shows at its
// icon place.
bool ShowsIcon(HWND box, int iconId);

// A key press sent the way the keyboard sends it: to the focus window of the box's thread.
bool PressKey(HWND box, UINT virtualKey);
bool PressAltKey(HWND box, UINT virtualKey);
// A click on the button at index (left to right).
bool ClickButton(HWND box, int index);
// The title-bar close box (the window menu's Close command).
bool PressCloseBox(HWND box);
// Waits until the box window no longer exists.
bool WaitUntilGone(HWND box, DWORD timeoutMs);
// Waits until the button at index is the default one.
bool WaitForDefault(HWND box, int index, DWORD timeoutMs);

// Runs a driving script on a thread of its own while the test's thread shows a box (a box is
// modal and runs its loop on the thread that opened it). When the script leaves its box open,
// the box is closed after a while so that the showing thread cannot hang; Rescued() then says so.
class ScriptThread {
 public:
  explicit ScriptThread(std::function<void()> script);
  ScriptThread(const ScriptThread&) = delete;
  ScriptThread& operator=(const ScriptThread&) = delete;
  ~ScriptThread();
  // Waits for the script to end; false when it did not end in time.
  bool Join(DWORD timeoutMs = 20000);

 private:
  static DWORD WINAPI Run(void* self);
  std::function<void()> script_;
  win::UniqueHandle thread_;
};

// Shows a box through show() on this thread while script(box, contents) answers it from another
// thread; contents are read before the script runs. A script that leaves the box open gets it
// closed after closeAfterMs (rescued is then true).
struct Driven {
  int result = -1;
  bool found = false;
  bool read = false;
  bool rescued = false;
  BoxContents contents;
};
Driven ShowAndDrive(const std::function<int()>& show,
                    const std::function<void(HWND, const BoxContents&)>& script,
                    DWORD closeAfterMs = 5000);

}  // namespace boxdriver
