// Checks the message box under Wine: what it shows (markup, heading, buttons, icon, layout),
// how it answers keys and clicks, its owner, its loop and the AutoPlay refusal. The boxes are
// shown on the test's thread and answered by the box driver from a second thread.
#include "ui/KMsgBox.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BoxDriver.h"
#include "TestInstaller.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "ui/KMsgBoxAutoPlay.h"
#include "ui/KMsgBoxOptions.h"
#include "util/win/WinHandles.h"

namespace {

using boxdriver::BoxContents;
using boxdriver::CharRun;
using boxdriver::Driven;
using boxdriver::ShowAndDrive;
using Script = std::function<void(HWND, const BoxContents&)>;
const std::string kButtons = msgbox::kDefaultButtonCaptions;

Script Click(int index) {
  return [index](HWND box, const BoxContents&) { boxdriver::ClickButton(box, index); };
}

std::string Runs(const std::vector<CharRun>& runs) {
  std::string s;
  for (const auto& r : runs)
    s += "(" + std::to_string(r.first) + "," + std::to_string(r.second) + ")";
  return s;
}

std::string Join(const std::vector<std::string>& items) {
  std::string s;
  for (const auto& i : items) s += "[" + i + "]";
  return s;
}

TEST(KMsgBox, ButtonSetsIconsAndResultCodes) {
  struct Case {
    const char* name;
    unsigned flags;
    int click;
    std::string buttons;
    int icon;
    int result;
  } cases[] = {
      {"error box", msgbox::kErrorBoxFlags, 0, "[&OK]", 32513, 1},
      {"attention box", msgbox::kAttentionBoxFlags, 0, "[&OK]", 32515, 1},
      {"yes/no, Yes", msgbox::kYesNoBoxFlags, 0, "[&Yes][&No]", 32514, 6},
      {"yes/no, No", msgbox::kYesNoBoxFlags, 1, "[&Yes][&No]", 32514, 7},
      {"ok/cancel, OK", msgbox::kOkCancelBoxFlags, 0, "[&OK][&Cancel]", 32514, 1},
      {"ok/cancel, Cancel", msgbox::kOkCancelBoxFlags, 1, "[&OK][&Cancel]", 32514, 2},
  };
  for (const auto& c : cases) {
    bool icon = false, band = false, lines = false;
    const Driven d = ShowAndDrive(
        [&] { return ShowMessageBox(1, "Some text", "Title", kButtons, 0, c.flags); },
        [&](HWND box, const BoxContents&) {
          icon = boxdriver::ShowsIcon(box, c.icon);
          RECT client{};
          GetClientRect(box, &client);
          const int ch = client.bottom;
          band = boxdriver::PixelAt(box, 5, 5) == 0x984E00 &&
                 boxdriver::PixelAt(box, 53, ch - 38) == 0x984E00 &&
                 boxdriver::PixelAt(box, 54, 5) == GetSysColor(COLOR_WINDOW);
          lines = boxdriver::PixelAt(box, 30, ch - 37) == GetSysColor(COLOR_3DDKSHADOW) &&
                  boxdriver::PixelAt(box, 30, ch - 36) == RGB(255, 255, 255) &&
                  boxdriver::PixelAt(box, 30, ch - 2) == GetSysColor(COLOR_BTNFACE);
          boxdriver::ClickButton(box, c.click);
        });
    ASSERT_TRUE(d.found) << c.name;
    EXPECT_FALSE(d.rescued) << c.name;
    EXPECT_EQ(d.result, c.result) << c.name;
    EXPECT_EQ(d.contents.caption, "Title") << c.name;
    EXPECT_EQ(Join(d.contents.buttons), c.buttons) << c.name;
    EXPECT_EQ(d.contents.defaultButton, 0) << c.name;
    EXPECT_TRUE(d.contents.richEdit) << c.name;
    EXPECT_TRUE(icon) << c.name;
    EXPECT_TRUE(band) << c.name;
    EXPECT_TRUE(lines) << c.name;
  }
}

TEST(KMsgBox, WrappersFillCaptionsAndButtonsAndAnswer) {
  struct Case {
    const char* name;
    std::function<int()> show;
    int click;
    std::string caption, buttons;
    int answer;  // what the wrapper gave back (1 true, 0 false, -1 nothing)
  } cases[] = {
      {"ShowErrorBox", [] { return ShowErrorBox(1, "x", "", "", 0), -1; }, 0, "Error", "[&OK]", -1},
      {"ShowAttentionBox", [] { return ShowAttentionBox(1, "x", "", "", 0), -1; }, 0, "Attention",
       "[&OK]", -1},
      {"AskYesNo, Yes", [] { return int{AskYesNo(1, "x", "", "", 0)}; }, 0, "Confirm",
       "[&Yes][&No]", 1},
      {"AskYesNo, No", [] { return int{AskYesNo(1, "x", "", "", 0)}; }, 1, "Confirm", "[&Yes][&No]",
       0},
      {"AskOkCancel, OK", [] { return int{AskOkCancel(1, "x", "", "", 0)}; }, 0, "Confirm",
       "[&OK][&Cancel]", 1},
      {"AskOkCancel, Cancel", [] { return int{AskOkCancel(1, "x", "", "", 0)}; }, 1, "Confirm",
       "[&OK][&Cancel]", 0},
      {"own caption and buttons",
       [] { return int{AskYesNo(1, "x", "Frage", "|O|A|&Ja|&Nein|", 0)}; }, 0, "Frage",
       "[&Ja][&Nein]", 1},
      {"missing caption field", [] { return int{AskOkCancel(1, "x", "", "|&OK|", 0)}; }, 1,
       "Confirm", "[&OK][]", 0},
  };
  for (const auto& c : cases) {
    const Driven d = ShowAndDrive(c.show, Click(c.click));
    ASSERT_TRUE(d.found) << c.name;
    EXPECT_FALSE(d.rescued) << c.name;
    EXPECT_EQ(d.result, c.answer) << c.name;
    EXPECT_EQ(d.contents.caption, c.caption) << c.name;
    EXPECT_EQ(Join(d.contents.buttons), c.buttons) << c.name;
  }
}

TEST(KMsgBox, ModeZeroHeading) {
  struct Case {
    const char* caption;
    std::string text;
    std::string bold;
  } cases[] = {
      {"Attention", "ATTENTION\r\n\r\nGo on?\r\n", "(0,9)"},
      {"Error", "ERROR\r\n\r\nGo on?\r\n", "(0,5)"},
      {"Confirm", "CONFIRM\r\n\r\nGo on?\r\n", "(0,7)"},
      {"Setup", "Setup\r\n\r\nGo on?\r\n", "(0,5)"},
  };
  for (const auto& c : cases) {
    const Driven d =
        ShowAndDrive([&] { return int{AskYesNo(0, "Go on?", c.caption, "", 0)}; }, Click(1));
    ASSERT_TRUE(d.read) << c.caption;
    EXPECT_EQ(d.contents.caption, c.caption) << c.caption;
    EXPECT_EQ(d.contents.text, c.text) << c.caption;
    EXPECT_EQ(Runs(d.contents.bold), c.bold) << c.caption;
  }
}

TEST(KMsgBox, Markup) {
  struct Case {
    const char* name;
    std::string markup, text, bold;
  } cases[] = {
      {"paragraph tag breaks the line", "one<p>two", "one\r\ntwo", ""},
      {"two backslashes and t make a TAB", "wo\\\\trd", "wo\trd", ""},
      {"bold word without its tags", "a <b>bold</b> word", "a bold word", "(2,6)"},
      {"two bold runs", "<B>x</B>y<b>zz</b>", "xyzz", "(0,1)(2,4)"},
      {"unclosed opening tag", "an <B>open tag", "an open tag", ""},
      {"stray closing tag", "a stray</b> tag", "a stray tag", ""},
  };
  for (const auto& c : cases) {
    const Driven d = ShowAndDrive(
        [&] { return ShowMessageBox(1, c.markup, "Markup", kButtons, 0, 0); }, Click(0));
    ASSERT_TRUE(d.read) << c.name;
    EXPECT_EQ(d.contents.text, c.text) << c.name;
    EXPECT_EQ(Runs(d.contents.bold), c.bold) << c.name;
  }
}

TEST(KMsgBox, BoldTextIsWidenedInsteadOfWrapped) {
  LRESULT lines = 0;
  const Driven d = ShowAndDrive(
      [] {
        return ShowMessageBox(1, "<b>A rather long sentence, every word of it in bold letters</b>",
                              "Bold", kButtons, 0, 0);
      },
      [&](HWND box, const BoxContents&) {
        DWORD_PTR count = 0;
        SendMessageTimeoutA(boxdriver::TextControl(box), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG,
                            2000, &count);
        lines = static_cast<LRESULT>(count);
        boxdriver::ClickButton(box, 0);
      });
  ASSERT_TRUE(d.read);
  EXPECT_EQ(Runs(d.contents.bold), "(0,56)");
  EXPECT_EQ(lines, 1);
}

TEST(KMsgBox, Keys) {
  const std::string okNoAmpersand = "|OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
  struct Case {
    const char* name;
    unsigned flags;
    std::string buttons;
    Script script;
    int result;
  } cases[] = {
      {"Alt+N chooses No", msgbox::kYesNoBoxFlags, kButtons,
       [](HWND box, const BoxContents&) { boxdriver::PressAltKey(box, 'N'); }, 7},
      {"N chooses No", msgbox::kYesNoBoxFlags, kButtons,
       [](HWND box, const BoxContents&) { boxdriver::PressKey(box, 'N'); }, 7},
      {"Enter chooses the default", msgbox::kYesNoBoxFlags, kButtons,
       [](HWND box, const BoxContents&) { boxdriver::PressKey(box, VK_RETURN); }, 6},
      {"O chooses OK without &", msgbox::kOkCancelBoxFlags, okNoAmpersand,
       [](HWND box, const BoxContents&) { boxdriver::PressKey(box, 'O'); }, 1},
      {"Alt+K chooses OK without &", msgbox::kOkCancelBoxFlags, okNoAmpersand,
       [](HWND box, const BoxContents&) { boxdriver::PressAltKey(box, 'K'); }, 1},
      {"Escape and other letters do nothing", msgbox::kOkCancelBoxFlags, kButtons,
       [](HWND box, const BoxContents&) {
         boxdriver::PressKey(box, VK_ESCAPE);
         boxdriver::PressKey(box, 'Q');
         boxdriver::PressKey(box, VK_NUMPAD3);  // its code is that of 'c'
         Sleep(300);
         if (IsWindow(box)) boxdriver::ClickButton(box, 1);
       },
       2},
      {"Right on the right button moves the default to the left one", msgbox::kYesNoBoxFlags,
       kButtons,
       [](HWND box, const BoxContents&) {
         boxdriver::PressKey(box, VK_RIGHT);
         if (!boxdriver::WaitForDefault(box, 1, 2000)) return;
         boxdriver::PressKey(box, VK_RIGHT);
         if (!boxdriver::WaitForDefault(box, 0, 2000)) return;
         boxdriver::PressKey(box, VK_RETURN);
       },
       6},
      {"Left on the left button moves the default to the right one", msgbox::kYesNoBoxFlags,
       kButtons,
       [](HWND box, const BoxContents&) {
         boxdriver::PressKey(box, VK_LEFT);
         if (!boxdriver::WaitForDefault(box, 1, 2000)) return;
         boxdriver::PressKey(box, VK_RETURN);
       },
       7},
      {"Tab and Down move on, Up moves back", msgbox::kOkCancelBoxFlags, kButtons,
       [](HWND box, const BoxContents&) {
         boxdriver::PressKey(box, VK_TAB);
         if (!boxdriver::WaitForDefault(box, 1, 2000)) return;
         boxdriver::PressKey(box, VK_DOWN);
         if (!boxdriver::WaitForDefault(box, 0, 2000)) return;
         boxdriver::PressKey(box, VK_UP);
         if (!boxdriver::WaitForDefault(box, 1, 2000)) return;
         boxdriver::PressKey(box, VK_RETURN);
       },
       2},
  };
  for (const auto& c : cases) {
    const Driven d = ShowAndDrive(
        [&] { return ShowMessageBox(1, "Press a key", "Keys", c.buttons, 0, c.flags); }, c.script);
    ASSERT_TRUE(d.found) << c.name;
    EXPECT_FALSE(d.rescued) << c.name;
    EXPECT_EQ(d.result, c.result) << c.name;
  }
}

TEST(KMsgBox, OneButtonBoxAfterTwoButtonBox) {
  const Driven two = ShowAndDrive([] { return int{AskYesNo(1, "Two", "", "", 0)}; }, Click(1));
  ASSERT_TRUE(two.found);
  ASSERT_EQ(two.contents.buttons.size(), 2u);
  bool focusStays = false;
  const Driven one = ShowAndDrive(
      [] { return ShowMessageBox(1, "One", "One", kButtons, 0, msgbox::kErrorBoxFlags); },
      [&](HWND box, const BoxContents&) {
        boxdriver::PressKey(box, VK_TAB);
        Sleep(200);
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
        const std::vector<HWND> buttons = boxdriver::Buttons(box);
        focusStays = buttons.size() == 1 && info.hwndFocus == buttons[0] &&
                     boxdriver::DefaultButton(box) == 0;
        boxdriver::PressKey(box, VK_RETURN);
      });
  ASSERT_TRUE(one.found);
  EXPECT_EQ(Join(one.contents.buttons), "[&OK]");
  EXPECT_TRUE(focusStays);
  EXPECT_EQ(one.result, 1);
}

TEST(KMsgBox, Layout) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  struct Case {
    const char* name;
    std::string text;
    bool minimumWidth;
  } cases[] = {
      {"empty text", "", true},
      {"short text", "Short", true},
      {"long lines", std::string(120, 'W') + "<p>" + std::string(30, 'i'), false},
  };
  for (const auto& c : cases) {
    RECT client{}, text{}, left{}, right{};
    const Driven d = ShowAndDrive(
        [&] { return ShowMessageBox(1, c.text, "Layout", kButtons, 0, msgbox::kYesNoBoxFlags); },
        [&](HWND box, const BoxContents&) {
          GetClientRect(box, &client);
          GetWindowRect(boxdriver::TextControl(box), &text);
          const std::vector<HWND> buttons = boxdriver::Buttons(box);
          if (buttons.size() == 2) {
            GetWindowRect(buttons[0], &left);
            GetWindowRect(buttons[1], &right);
          }
          MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&text), 2);
          MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&left), 2);
          MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&right), 2);
          boxdriver::ClickButton(box, 0);
        });
    ASSERT_TRUE(d.read) << c.name;
    const RECT& f = d.contents.frame;
    const int width = f.right - f.left, height = f.bottom - f.top;
    if (c.minimumWidth)
      EXPECT_EQ(width, 360) << c.name;
    else
      EXPECT_GT(width, 360) << c.name;
    EXPECT_LE(width, 600 + 54 + 64 + 2 * GetSystemMetrics(SM_CXFRAME) + 10) << c.name;
    EXPECT_EQ(f.left, work.left + (work.right - work.left - width) / 2) << c.name;
    EXPECT_EQ(f.top, work.top + (work.bottom - work.top - height) / 2) << c.name;
    // The buttons touch at the bottom right; the text stands right of the band, above them.
    EXPECT_EQ(right.left, client.right - 80) << c.name;
    EXPECT_EQ(right.top, client.bottom - 29) << c.name;
    EXPECT_EQ(right.right - right.left, 70) << c.name;
    EXPECT_EQ(right.bottom - right.top, 23) << c.name;
    EXPECT_EQ(left.right, right.left) << c.name;
    EXPECT_GE(text.left, 54) << c.name;
    EXPECT_EQ(text.bottom, client.bottom - 39) << c.name;
  }
}

TEST(KMsgBox, RightToLeftCharsets) {
  struct Case {
    int charset;
    bool mirrored;
  } cases[] = {{177, true}, {178, true}, {0, false}};
  for (const auto& c : cases) {
    const Driven d = ShowAndDrive(
        [&] { return ShowMessageBox(1, "\xF9\xEC\xE5\xED", "RTL", kButtons, c.charset, 0); },
        Click(0));
    ASSERT_TRUE(d.read) << c.charset;
    EXPECT_EQ(d.contents.rightAligned, c.mirrored) << c.charset;
    EXPECT_EQ(d.contents.rightToLeft, c.mirrored) << c.charset;
  }
}

TEST(KMsgBox, CloseBox) {
  // Mode 1: the close box closes the box without an answer.
  bool greyed = true;
  Driven d = ShowAndDrive([] { return int{AskYesNo(1, "Close me", "", "", 0)}; },
                          [&](HWND box, const BoxContents&) {
                            greyed = boxdriver::CloseItemGreyed(box);
                            boxdriver::PressCloseBox(box);
                          });
  ASSERT_TRUE(d.found);
  EXPECT_FALSE(d.rescued);
  EXPECT_FALSE(greyed);
  EXPECT_EQ(d.result, 0);  // AskYesNo said no

  d = ShowAndDrive([] { return ShowMessageBox(1, "Close me", "C", kButtons, 0, 36); },
                   [](HWND box, const BoxContents&) { boxdriver::PressCloseBox(box); });
  EXPECT_EQ(d.result, 0);

  // Mode 2: Close is greyed, and neither the close box nor Alt+F4 gets round it.
  bool stayed = false;
  d = ShowAndDrive([] { return ShowMessageBox(2, "Stay", "C", kButtons, 0, 36); },
                   [&](HWND box, const BoxContents&) {
                     greyed = boxdriver::CloseItemGreyed(box);
                     boxdriver::PressCloseBox(box);
                     boxdriver::PressAltKey(box, VK_F4);
                     Sleep(300);
                     stayed = IsWindow(box) != FALSE;
                     boxdriver::ClickButton(box, 1);
                   });
  ASSERT_TRUE(d.found);
  EXPECT_TRUE(greyed);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(d.result, 7);
}

// A window of the test's thread with a 50 ms timer, standing in for the program's main window.
struct TickingOwner {
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
      ++ticks;
      return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  TickingOwner() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarvoBoxOwner";
    RegisterClassA(&wc);
    wnd = CreateWindowExA(0, wc.lpszClassName, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                          300, 120, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(wnd);
    SetActiveWindow(wnd);
    ticks = 0;
    SetTimer(wnd, 1, 50, nullptr);
  }
  ~TickingOwner() {
    KillTimer(wnd, 1);
    DestroyWindow(wnd);
    UnregisterClassA("TarvoBoxOwner", GetModuleHandleA(nullptr));
  }
  HWND wnd = nullptr;
  static inline int ticks = 0;
};

TEST(KMsgBox, OwnerIsDisabledWhileTheBoxRunsItsTimers) {
  TickingOwner owner;
  ASSERT_NE(owner.wnd, nullptr);
  ASSERT_EQ(GetActiveWindow(), owner.wnd);
  bool disabledWhileOpen = false;
  HWND boxOwner = nullptr;
  int ticksWhileOpen = 0;
  const Driven d = ShowAndDrive([] { return int{AskYesNo(1, "Tick", "", "", 0)}; },
                                [&](HWND box, const BoxContents&) {
                                  const int before = TickingOwner::ticks;
                                  Sleep(600);
                                  ticksWhileOpen = TickingOwner::ticks - before;
                                  disabledWhileOpen = !IsWindowEnabled(owner.wnd);
                                  boxOwner = GetWindow(box, GW_OWNER);
                                  boxdriver::ClickButton(box, 0);
                                });
  ASSERT_TRUE(d.found);
  EXPECT_EQ(d.result, 1);
  EXPECT_GE(ticksWhileOpen, 5);
  EXPECT_TRUE(disabledWhileOpen);
  EXPECT_EQ(boxOwner, owner.wnd);
  EXPECT_TRUE(IsWindowEnabled(owner.wnd));
  EXPECT_EQ(GetActiveWindow(), owner.wnd);
}

TEST(KMsgBox, AnswersQueryCancelAutoPlayOnceEnabled) {
  EnableAutoPlayCancel();
  ASSERT_NE(AutoPlayCancelMessage(), 0u);
  DWORD_PTR answer = 0;
  const Driven d = ShowAndDrive([] { return ShowMessageBox(1, "Disk", "D", kButtons, 0, 1); },
                                [&](HWND box, const BoxContents&) {
                                  SendMessageTimeoutA(box, AutoPlayCancelMessage(), 0, 0,
                                                      SMTO_ABORTIFHUNG, 2000, &answer);
                                  boxdriver::ClickButton(box, 0);
                                });
  ASSERT_TRUE(d.found);
  EXPECT_EQ(answer, 1u);
}

TEST(KMsgBox, PumpsAfterClosingAndKeepsAQuitRequest) {
  const DWORD thread = GetCurrentThreadId();
  ULONGLONG gone = 0;
  bool openAfterQuit = false;
  const Driven d = ShowAndDrive([] { return ShowMessageBox(1, "Quit?", "Q", kButtons, 0, 0); },
                                [&](HWND box, const BoxContents&) {
                                  PostThreadMessageA(thread, WM_QUIT, 5, 0);
                                  Sleep(200);
                                  openAfterQuit = IsWindow(box) != FALSE;
                                  boxdriver::ClickButton(box, 0);
                                  boxdriver::WaitUntilGone(box, 3000);
                                  gone = GetTickCount64();
                                });
  const ULONGLONG returned = GetTickCount64();
  ASSERT_TRUE(d.found);
  EXPECT_TRUE(openAfterQuit);
  EXPECT_EQ(d.result, 1);
  // The box pumps for 100 ms after its window has gone.
  EXPECT_GE(returned - gone, 70u);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}

TEST(KMsgBox, DriverReadsAndAnswersABoxOfAnotherProcess) {
  wintest::StubProcess shower("\"" + wintest::BesideTests("box_show.exe") + "\" /scene=1");
  ASSERT_TRUE(shower.Started());
  const HWND box = boxdriver::WaitForBox(15000, shower.Id());
  ASSERT_NE(box, nullptr);
  BoxContents c;
  ASSERT_TRUE(boxdriver::ReadBox(box, c));
  EXPECT_EQ(c.caption, "Confirm");
  EXPECT_EQ(c.text, "CONFIRM\r\n\r\nInstall now?\r\n");
  EXPECT_EQ(Runs(c.bold), "(0,7)(19,22)");
  EXPECT_EQ(Join(c.buttons), "[&Yes][&No]");
  EXPECT_EQ(c.defaultButton, 0);
  ASSERT_TRUE(boxdriver::PressAltKey(box, 'N'));
  EXPECT_EQ(shower.WaitExit(10000), 7u);
}

// A copy of box_show.exe under another name for which Wine leaves out RICHED32.DLL (a program's
// own DLL overrides); key and copy go with the object.
struct ProgramWithoutRichEdit {
  static constexpr const char* kName = "box_plain.exe";
  static constexpr const char* kAppKey = "Software\\Wine\\AppDefaults\\box_plain.exe";
  ProgramWithoutRichEdit() {
    HKEY key = nullptr;
    const std::string overrides = std::string(kAppKey) + "\\DllOverrides";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, overrides.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
      return;
    const win::UniqueKey owned(key);
    // An empty load order disables the library.
    ready =
        RegSetValueExA(key, "riched32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) ==
            ERROR_SUCCESS &&
        CopyFileA(wintest::BesideTests("box_show.exe").c_str(), folder.File(kName).c_str(), FALSE);
  }
  ~ProgramWithoutRichEdit() { RegDeleteTreeA(HKEY_CURRENT_USER, kAppKey); }
  std::string Path() const { return folder.File(kName); }
  wintest::TempFolder folder;
  bool ready = false;
};

TEST(KMsgBox, PlainTextWhenTheRichEditLibraryIsMissing) {
  ProgramWithoutRichEdit program;
  ASSERT_TRUE(program.ready);
  wintest::StubProcess shower("\"" + program.Path() + "\" /scene=2");
  ASSERT_TRUE(shower.Started());
  const HWND box = boxdriver::WaitForBox(15000, shower.Id());
  ASSERT_NE(box, nullptr);
  BoxContents c;
  ASSERT_TRUE(boxdriver::ReadBox(box, c));
  EXPECT_FALSE(c.richEdit);
  EXPECT_EQ(c.text, "Plain text\r\nsecond line");
  EXPECT_EQ(Join(c.buttons), "[&OK]");
  EXPECT_GE(c.frame.right - c.frame.left, 360);
  ASSERT_TRUE(boxdriver::PressKey(box, VK_RETURN));
  EXPECT_EQ(shower.WaitExit(10000), 1u);
}

}  // namespace
