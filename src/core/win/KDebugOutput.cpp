// KDebugOutput: the trace stream's output step on Windows: pieces go to a running debug viewer.
#include "core/win/KDebugOutput.h"

#include <windows.h>

#include "core/KDebug.h"

namespace {

UINT debugMessage = 0;

// A viewer that stops answering must not stall the program that traces: the send gives up then
// and the piece is lost.
constexpr UINT kSendTimeoutMs = 2000;

}  // namespace

void InstallTraceStream() {
  debugMessage = RegisterWindowMessageA(kdebug::kDebugMessageName);
  Trace().SetSink(&SendPieceToViewer);
}

unsigned DebugMessageId() {
  return debugMessage;
}

void SendPieceToViewer(const std::string& piece) {
  if (debugMessage == 0 || piece.empty()) return;
  HWND viewer = FindWindowA(kdebug::kViewerClass, nullptr);
  if (viewer == nullptr) return;
  const ATOM atom = GlobalAddAtomA(piece.c_str());
  if (atom == 0) return;
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(viewer, debugMessage, kdebug::kChannel, atom, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &answer);
  GlobalDeleteAtom(atom);
}
