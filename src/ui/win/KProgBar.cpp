// KProgBar: the progress procedure over the main window's bars, and the relay's pump (Windows).
#include "ui/KProgBar.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/KMsgBoxPump.h"
#include "ui/win/ProgressBars.h"

namespace {

HWND mainBar = nullptr;
HWND activityBar = nullptr;
int activity = 0;

}  // namespace

void AttachProgressBars(HWND main, HWND activityIndicator) {
  mainBar = main;
  activityBar = activityIndicator;
}

void ProgressProc(int kind, int, std::int64_t maximum, std::int64_t position, std::int64_t step,
                  const std::string&) {
  if (kind == progress::kSet) {
    SendMessageA(mainBar, PBM_SETRANGE, 0, MAKELPARAM(0, progress::MainBarMaximum(maximum)));
    SendMessageA(mainBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SendMessageA(mainBar, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
    SendMessageA(activityBar, PBM_SETRANGE, 0, MAKELPARAM(0, progress::kActivityMax));
    SendMessageA(activityBar, PBM_SETPOS, 0, 0);
    SendMessageA(activityBar, PBM_SETSTEP, 1, 0);
  } else if (kind == progress::kStep) {
    SendMessageA(mainBar, PBM_STEPIT, 0, 0);
    activity = progress::NextActivity(activity);
    SendMessageA(activityBar, PBM_SETPOS, static_cast<WPARAM>(activity), 0);
  }
}

int ActivityCounter() {
  return activity;
}

void TProgBar::Idle() {
  YieldWait(0, 0);
}

TProgBar& ProgBar() {
  static TProgBar relay(&ProgressProc);
  return relay;
}
