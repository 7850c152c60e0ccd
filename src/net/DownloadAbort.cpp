// DownloadAbort: the one flag shared by the main window and a running download.
#include "net/DownloadAbort.h"

namespace {

bool aborted = false;

}  // namespace

bool DownloadAborted() {
  return aborted;
}

void SetDownloadAbort(bool value) {
  aborted = value;
}
