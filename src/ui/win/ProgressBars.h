// ProgressBars: which controls the progress procedure drives (the main window attaches its own).
#pragma once

#include <windows.h>

// The main bar and the activity bar; null handles make the procedure's messages go nowhere.
void AttachProgressBars(HWND mainBar, HWND activityBar);
