// ProgressCaption: the caption line above the progress bars, in the language's font and direction.
#include "ui/win/ProgressCaption.h"

#include "core/MainWindowLayout.h"
#include "util/win/SysInfo.h"
#include "util/win/WinHandles.h"

namespace {

// The label's current font; the one it replaces is released once the label no longer uses it.
win::UniqueGdiObject captionFont;

}  // namespace

void SetCaptionFont(HWND label, HFONT font) {
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  captionFont.reset(font);
}

void SetProgressCaption(HWND label, const std::string& caption, const std::string& faceName,
                        int charset, int pointSize) {
  const bool rtl = mainwindow::IsRightToLeftCharset(charset);
  SetWindowLongA(label, GWL_EXSTYLE, rtl ? WS_EX_RTLREADING : 0);
  SetWindowLongA(label, GWL_STYLE,
                 static_cast<LONG>(mainwindow::kChildVisible | (rtl ? SS_RIGHT : SS_LEFT)));
  HFONT font = CreateFontA(-PointsToPixels(pointSize), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                           static_cast<BYTE>(charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, faceName.c_str());
  if (font != nullptr) SetCaptionFont(label, font);
  SetWindowTextA(label, caption.c_str());
}
