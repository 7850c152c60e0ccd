// DownloadAbort: the one flag shared by the main window (a close request sets it) and a running
// download (which polls it and stops).
#pragma once

bool DownloadAborted();
void SetDownloadAbort(bool aborted);
