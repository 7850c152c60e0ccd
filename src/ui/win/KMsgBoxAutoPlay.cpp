// KMsgBoxAutoPlay: refusing the shell's AutoPlay while the program asks for another disk.
#include "ui/KMsgBoxAutoPlay.h"

#include <windows.h>

namespace {

UINT autoPlayMessage = 0;

}  // namespace

void EnableAutoPlayCancel() {
  if (autoPlayMessage == 0) autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
}

unsigned AutoPlayCancelMessage() {
  return autoPlayMessage;
}
