// StubSetup: the installer path: the first timer tick of the main window (SetupTick) and
// RunSetup, which extracts a setup file, starts the installer engine with its command line, waits
// for the engine and its dialogs, takes over its exit code and reads its success signal.
#pragma once

#include <string>

// Extracts sourceFile into folder (or into a roomier drive's folder when folder's drive has no
// room) and runs the engine it carries. foreground: the user sees the window and the space
// question, and the engine is shown. extraArgs: text for the engine's command line. True when the
// engine was started and deleted the hand-off atom.
bool RunSetup(const std::string& folder, const std::string& sourceFile,
              const std::string& agentName, bool foreground, const std::string& extraArgs);
