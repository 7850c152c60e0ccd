// KDebugOutput: the trace stream's output step on Windows: pieces go to a running debug viewer.
#pragma once

#include <string>

// Registers the debug message and makes the viewer the trace stream's sink. Run once at start.
void InstallTraceStream();
// The registered ".K_DebugMsg." message; 0 before InstallTraceStream or when registering failed.
unsigned DebugMessageId();
// Hands one piece to the viewer window, when one is running; drops it otherwise.
void SendPieceToViewer(const std::string& piece);
